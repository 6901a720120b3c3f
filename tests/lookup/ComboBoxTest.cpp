// The lookup combo box driven as a user drives it: typed keys, the key table, the mouse, validation and events.
#include "LookupFixture.h"

#include <QClipboard>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace lookuptest {
namespace {

class ComboBox : public LookupFixture {};

// A value as text, for messages: Null, 'text', or [items].
std::string Shape(const Variant& value) {
  if (value.IsNull()) return "Null";
  if (!value.IsArray()) return "'" + value.ToText() + "'";
  std::string items;
  for (const Variant& item : value.AsArray()) items += (items.empty() ? "" : ", ") + Shape(item);
  return "[" + items + "]";
}

struct Typing {
  TcxEditDropDownListStyle style;
  const char* keys;
  const char* text;
  const char* selected;
  int rows;  // rows of the open list afterwards
};

TEST_F(ComboBox, TypingCompletesFromTheListInEachListStyle) {
  const Typing cases[] = {
      {lsEditFixedList, "s", "SANTOS", "ANTOS", 3},
      {lsEditFixedList, "sa", "SANTOS", "NTOS", 3},
      {lsEditFixedList, "sao", "SAO PAULO", " PAULO", 2},
      {lsEditFixedList, "sao j", "São José", "osé", 1},
      {lsEditFixedList, "x", "", "", 6},
      {lsEditFixedList, "cx", "Curitiba", "uritiba", 1},
      {lsEditFixedList, "CUR", "Curitiba", "itiba", 1},
      {lsEditList, "s", "SANTOS", "ANTOS", 3},
      {lsEditList, "x", "x", "", 0},
      {lsEditList, "cx", "Cx", "", 0},
      {lsFixedList, "s", "SANTOS", "ANTOS", 3},
      {lsFixedList, "sx", "SANTOS", "ANTOS", 3},
      {lsFixedList, "sc", "Curitiba", "uritiba", 1},
      {lsFixedList, "vb", "Belém", "elém", 1},
  };
  for (const Typing& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + " in style " + std::to_string(c.style));
    edit_->CloseUp(false);
    edit_->Properties().SetDropDownListStyle(c.style);
    edit_->SetEditValue(Variant(std::string()));
    Type(c.keys);
    EXPECT_EQ(edit_->GetText(), c.text);
    EXPECT_EQ(Selected(), c.selected);
    EXPECT_TRUE(edit_->DroppedDown()) << "typing opens the list first";
    EXPECT_EQ(List().RowCount(), c.rows);
  }
}

TEST_F(ComboBox, UnaccentedTypingTakesTheListsOwnText) {
  TypeText("sao j");
  EXPECT_EQ(edit_->GetText(), "São José");
  EXPECT_EQ(Text()->cursorPosition(), 8);
  EXPECT_EQ(Text()->selectionStart(), 5);
  Key(Qt::Key_Return);
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->GetText(), "São José");
  EXPECT_EQ(edit_->EditValue(), Variant("São José"));
  edit_->CloseUp(false);
  edit_->SetEditValue(Variant(std::string()));
  TypeText("belé");
  EXPECT_EQ(edit_->GetText(), "Belém");
}

TEST_F(ComboBox, BackspaceShortensThePrefixAndAnEmptyPrefixDropsTheFilter) {
  Type("sa");
  ASSERT_EQ(edit_->GetText(), "SANTOS");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(edit_->GetText(), "SANTOS");
  EXPECT_EQ(Selected(), "ANTOS");
  EXPECT_EQ(List().RowCount(), 3);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(edit_->GetText(), "");
  EXPECT_EQ(List().RowCount(), 6);
  EXPECT_FALSE(List().IncrementalFilterActive());
}

TEST_F(ComboBox, TheKeysOfTheEditor) {
  // F4, Alt+Down and Alt+Up open a closed list and close an open one taking its focused row.
  Key(Qt::Key_F4);
  EXPECT_TRUE(edit_->DroppedDown());
  EXPECT_EQ(List().FocusedRow(), -1) << "no row has the empty text";
  Key(Qt::Key_Down);
  EXPECT_EQ(edit_->GetText(), "Belém") << "from no row, Down takes the first";
  Key(Qt::Key_Down);
  EXPECT_EQ(edit_->GetText(), "Curitiba");
  Key(Qt::Key_F4);
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->GetText(), "Curitiba");
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_TRUE(edit_->DroppedDown());
  Key(Qt::Key_Up, Qt::AltModifier);
  EXPECT_FALSE(edit_->DroppedDown());

  // Up and Down with the list closed; no wrap at either end; PgDn moves by DropDownRows, Ctrl+PgUp to the first.
  Key(Qt::Key_Up);
  EXPECT_EQ(edit_->GetText(), "Belém");
  Key(Qt::Key_Up);
  EXPECT_EQ(edit_->GetText(), "Belém");
  Key(Qt::Key_PageDown);
  EXPECT_EQ(edit_->GetText(), "Vitória") << "8 rows on, held at the last";
  Key(Qt::Key_Down);
  EXPECT_EQ(edit_->GetText(), "Vitória");
  Key(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(edit_->GetText(), "Belém");

  // Esc with the list open leaves the completed entry; Esc again brings back the value held at focus entry.
  Type("sa");
  ASSERT_TRUE(edit_->DroppedDown());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->GetText(), "SANTOS");
  Key(Qt::Key_Escape);
  EXPECT_EQ(edit_->GetText(), "");
  EXPECT_EQ(Selected(), "");

  // Enter with the list open takes the focused row; Enter on the closed editor validates and selects it all.
  Type("cu");
  Key(Qt::Key_Return);
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->EditValue(), Variant("Curitiba"));
  EXPECT_EQ(Selected(), "Curitiba");

  // Home and End move the caret, except in the fixed-list style where they take the first and last rows.
  Text()->setCursorPosition(3);
  Key(Qt::Key_End);
  EXPECT_EQ(Text()->cursorPosition(), 8);
  EXPECT_EQ(edit_->GetText(), "Curitiba");
  edit_->Properties().SetDropDownListStyle(lsFixedList);
  Key(Qt::Key_End);
  EXPECT_EQ(edit_->GetText(), "Vitória");
  Key(Qt::Key_Home);
  EXPECT_EQ(edit_->GetText(), "Belém");
  // Left, Right and Delete change nothing there.
  Key(Qt::Key_Delete);
  Key(Qt::Key_Left);
  EXPECT_EQ(edit_->GetText(), "Belém");
}

// Left and Right collapse a completion; Delete on a selected text goes as Backspace does, and with nothing selected
// deletes nothing from a list's entry.
TEST_F(ComboBox, LeftAndRightCollapseACompletionAndDeleteGoesAsBackspace) {
  Type("sa");
  Key(Qt::Key_Delete);
  EXPECT_EQ(edit_->GetText(), "SANTOS");
  EXPECT_EQ(Selected(), "ANTOS");
  Key(Qt::Key_Right);
  EXPECT_EQ(Selected(), "");
  EXPECT_EQ(Text()->cursorPosition(), 6);
  EXPECT_FALSE(edit_->Completing());
  Text()->setCursorPosition(2);
  Key(Qt::Key_Delete);
  EXPECT_EQ(edit_->GetText(), "SANTOS");
  Text()->selectAll();
  Key(Qt::Key_Delete);
  EXPECT_EQ(edit_->GetText(), "");
  EXPECT_FALSE(List().IncrementalFilterActive());
}

TEST_F(ComboBox, TabClosesTheOpenListWithItsRowAndMovesOn) {
  auto* other = new TcxLookupComboBox(form_.get());
  other->SetParent(form_.get());
  other->SetBounds(10, 60, 200, 21);
  QApplication::processEvents();
  for (bool open : {true, false}) {
    SCOPED_TRACE(open ? "list open" : "list closed");
    edit_->SetEditValue(Variant(std::string()));
    Text()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Text()->hasFocus());
    Key(Qt::Key_F4);
    Key(Qt::Key_Down);
    if (!open) Key(Qt::Key_F4);
    ASSERT_EQ(edit_->DroppedDown(), open);
    Key(Qt::Key_Tab);
    EXPECT_FALSE(edit_->DroppedDown());
    EXPECT_FALSE(Text()->hasFocus());
    EXPECT_EQ(edit_->GetText(), "Belém");
  }
}

// The text box shows the properties' alignment, left while the user edits when they ask so, and hides its
// selection while another control has the focus, when they ask so.
TEST_F(ComboBox, AlignmentAndSelectionFollowTheFocus) {
  auto* other = new TcxLookupComboBox(form_.get());
  other->SetParent(form_.get());
  other->SetBounds(10, 60, 200, 21);
  QApplication::processEvents();
  auto focus = [](QWidget* widget) {
    widget->setFocus();
    QApplication::processEvents();
  };
  QLineEdit* other_text = other->Widget()->findChild<QLineEdit*>();
  const QColor base = Text()->palette().color(QPalette::Base);
  auto selection_shows = [&] { return Text()->palette().color(QPalette::Highlight) != base; };
  edit_->Properties().Alignment().SetHorz(taRightJustify);
  edit_->SetEditValue(Variant("Curitiba"));
  struct Case {
    bool focused, left_on_editing, hide_selection;
    Qt::Alignment alignment;
    bool selection_shown;
  } cases[] = {
      {true, true, true, Qt::AlignLeft, true},
      {false, true, true, Qt::AlignRight, false},
      {true, false, true, Qt::AlignRight, true},
      {false, false, false, Qt::AlignRight, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "focused " << c.focused << ", left on editing " << c.left_on_editing
                                    << ", hide selection " << c.hide_selection);
    edit_->Properties().SetUseLeftAlignmentOnEditing(c.left_on_editing);
    edit_->Properties().SetHideSelection(c.hide_selection);
    focus(c.focused ? Text() : other_text);
    ASSERT_EQ(Text()->hasFocus(), c.focused);
    EXPECT_EQ(Text()->alignment() & Qt::AlignHorizontal_Mask, c.alignment);
    EXPECT_EQ(selection_shows(), c.selection_shown);
  }
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBox, EventsComeInTheirOrder) {
  std::vector<std::string> events;
  auto log = [&](const char* name) { return [&events, name](TObject*) { events.push_back(name); }; };
  edit_->Properties().OnInitPopup = log("InitPopup");
  edit_->Properties().OnPopup = log("Popup");
  edit_->Properties().OnCloseUp = log("CloseUp");
  edit_->Properties().OnChange = log("Change");
  edit_->Properties().OnEditValueChanged = log("EditValueChanged");
  edit_->OnClick = log("Click");
  Key(Qt::Key_F4);
  Key(Qt::Key_Down);
  EXPECT_EQ(events, (std::vector<std::string>{"InitPopup", "Popup", "Change", "EditValueChanged", "Click"}));
  events.clear();
  Key(Qt::Key_Down);
  Key(Qt::Key_Return);
  EXPECT_EQ(events, (std::vector<std::string>{"Change", "EditValueChanged", "Click", "CloseUp"}));
  events.clear();
  // Typing changes the text only; the value follows at validation.
  Type("s");
  Key(Qt::Key_Escape);
  events.erase(std::remove(events.begin(), events.end(), "InitPopup"), events.end());
  events.erase(std::remove(events.begin(), events.end(), "Popup"), events.end());
  EXPECT_EQ(events, (std::vector<std::string>{"Change", "CloseUp"}));
  events.clear();
  Key(Qt::Key_Return);
  EXPECT_EQ(events, (std::vector<std::string>{"EditValueChanged"}));
}

// Fails since the preview's mouse events joined the lookup's controls: the second click does not close the list; to be
// mended.
TEST_F(ComboBox, TheMouse) {
  // The button opens the list; a second press closes it without taking a row.
  QTest::mouseClick(edit_->Widget(), Qt::LeftButton, {}, ButtonPoint());
  ASSERT_TRUE(edit_->DroppedDown());
  QTest::mouseClick(edit_->Widget(), Qt::LeftButton, {}, ButtonPoint());
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->GetText(), "");

  // A row click selects it and closes.
  QTest::mouseClick(edit_->Widget(), Qt::LeftButton, {}, ButtonPoint());
  ASSERT_TRUE(edit_->DroppedDown());
  QTest::mouseClick(GridWidget(), Qt::LeftButton, {}, RowPoint(2));
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->GetText(), "SANTOS");

  // A click outside closes without change.
  QTest::mouseClick(edit_->Widget(), Qt::LeftButton, {}, ButtonPoint());
  ASSERT_TRUE(edit_->DroppedDown());
  for (int row : {0, 4}) {
    QMouseEvent move(QEvent::MouseMove, RowPoint(row), GridWidget()->mapToGlobal(RowPoint(row)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(GridWidget(), &move);
  }
  EXPECT_EQ(List().FocusedRow(), 4) << "the focused row follows the mouse";
  QTest::mouseClick(form_->Widget(), Qt::LeftButton, {}, QPoint(350, 250));
  EXPECT_FALSE(edit_->DroppedDown());
  EXPECT_EQ(edit_->GetText(), "SANTOS");
}

TEST_F(ComboBox, WheelAndRevertableDoubleClick) {
  Wheel(-120);
  EXPECT_EQ(edit_->GetText(), "Belém");
  Wheel(120);
  EXPECT_EQ(edit_->GetText(), "Belém");
  edit_->SetEditValue(Variant("Vitória"));
  QTest::mouseDClick(Text(), Qt::LeftButton);
  EXPECT_EQ(edit_->GetText(), "Vitória") << "Revertable is off";
  edit_->Properties().SetRevertable(true);
  QTest::mouseDClick(Text(), Qt::LeftButton);
  EXPECT_EQ(edit_->GetText(), "Belém") << "after the last row comes the first";
}

// Read-only refuses every way of changing the value: typing, the list keys, the wheel, Backspace, the clear key, a
// row taken from the open list and the revertable double-click.
TEST_F(ComboBox, AReadOnlyEditorKeepsItsValue) {
  edit_->Properties().SetClearKey(scCtrl | 'Q');
  edit_->Properties().SetRevertable(true);
  edit_->Properties().SetReadOnly(true);
  struct Case {
    const char* what;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"typing", [&] { Type("cu"); }},
      {"Down", [&] { Key(Qt::Key_Down); }},
      {"Up", [&] { Key(Qt::Key_Up); }},
      {"PgDn", [&] { Key(Qt::Key_PageDown); }},
      {"PgUp", [&] { Key(Qt::Key_PageUp); }},
      {"Ctrl+PgDn", [&] { Key(Qt::Key_PageDown, Qt::ControlModifier); }},
      {"Ctrl+PgUp", [&] { Key(Qt::Key_PageUp, Qt::ControlModifier); }},
      {"the wheel down", [&] { Wheel(-120); }},
      {"the wheel up", [&] { Wheel(120); }},
      {"Backspace", [&] { Key(Qt::Key_Backspace); }},
      {"the clear key", [&] { Key(Qt::Key_Q, Qt::ControlModifier); }},
      {"Down in the open list, then Enter",
       [&] {
         Key(Qt::Key_F4);
         Key(Qt::Key_Down);
         Key(Qt::Key_Return);
       }},
      {"a row clicked in the open list",
       [&] {
         Key(Qt::Key_F4);
         QTest::mouseClick(GridWidget(), Qt::LeftButton, {}, RowPoint(0));
       }},
      {"a double-click", [&] { QTest::mouseDClick(Text(), Qt::LeftButton); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    edit_->SetEditValue(Variant("SANTOS"));
    c.act();
    edit_->CloseUp(false);
    Key(Qt::Key_Return);
    EXPECT_EQ(edit_->GetText(), "SANTOS");
    EXPECT_EQ(Shape(edit_->EditValue()), "'SANTOS'");
  }
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBox, PasteTakesOnlyListEntriesInTheirPastedCase) {
  QApplication::clipboard()->setText("curitiba");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->GetText(), "curitiba");
  Text()->selectAll();
  QApplication::clipboard()->setText("Londrina");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->GetText(), "curitiba");
  edit_->Properties().SetDropDownListStyle(lsEditList);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->GetText(), "Londrina");
}

// Validated by Enter or by the focus leaving, a rejected text keeps the focus in the editor (no OnExit), and Esc
// then brings back the value held when the editor got the focus.
TEST_F(ComboBox, AFailedValidationKeepsTheFocusAndEscRestores) {
  auto* other = new TcxLookupComboBox(form_.get());
  other->SetParent(form_.get());
  other->SetBounds(10, 60, 200, 21);
  QApplication::processEvents();
  QLineEdit* other_text = other->Widget()->findChild<QLineEdit*>();
  Text()->setFocus();
  QApplication::processEvents();
  edit_->Properties().OnValidate = [](TObject*, Variant& value, std::string&, bool& error) {
    error = value.ToText() == "SANTOS";
  };
  int exits = 0;
  edit_->OnExit = [&](TObject*) { ++exits; };
  struct Case {
    const char* how;
    std::function<void()> validate;
  };
  const Case cases[] = {
      {"Enter", [&] { Key(Qt::Key_Return); }},
      {"the focus leaving",
       [&] {
         other_text->setFocus();
         QApplication::processEvents();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    errors_.clear();
    Type("sa");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(edit_->DroppedDown());
    c.validate();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Invalid input value. Use escape key to abandon changes");
    EXPECT_TRUE(Text()->hasFocus());
    EXPECT_EQ(Selected(), "SANTOS");
    EXPECT_EQ(edit_->EditValue(), Variant(std::string()));
    EXPECT_TRUE(edit_->ModifiedAfterEnter());
    Key(Qt::Key_Escape);
    EXPECT_EQ(edit_->GetText(), "");
    EXPECT_EQ(edit_->EditValue(), Variant(std::string()));
  }
  EXPECT_EQ(exits, 0);
  // With the rejected text abandoned, the focus leaves.
  other_text->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(Text()->hasFocus());
  EXPECT_EQ(exits, 1);
}

TEST_F(ComboBox, AnEmptyListNeitherOpensNorAcceptsTyping) {
  data_->Close();
  SetCities({});
  data_->Open();
  Key(Qt::Key_F4);
  EXPECT_FALSE(edit_->DroppedDown());
  Key(Qt::Key_Down);
  Type("s");
  EXPECT_EQ(edit_->GetText(), "");
}

TEST_F(ComboBox, TheListIsAsHighAsItsRowsUpToDropDownRows) {
  SetCities({"A", "B", "C"});
  data_->Refresh();
  Key(Qt::Key_F4);
  ASSERT_TRUE(edit_->DroppedDown());
  const int frame = 1;
  EXPECT_EQ(edit_->PopupWindow()->Height(), Grid().HeaderHeight() + 3 * Grid().RowHeight() + 2 * frame);
  EXPECT_EQ(edit_->PopupWindow()->Width(), edit_->Width());
  const QPoint below = edit_->Widget()->mapToGlobal(QPoint(0, edit_->Height()));
  EXPECT_EQ(edit_->PopupWindow()->Left(), below.x());
  EXPECT_EQ(edit_->PopupWindow()->Top(), below.y());
}

// Below the editor, or above it where the screen ends and there is more room above; aligned as PopupAlignment says
// and shifted to lie on the screen.
TEST_F(ComboBox, TheListOpensBelowOrAboveAndStaysOnTheScreen) {
  const TRect area = ScreenWorkArea({0, 0});
  edit_->Properties().SetDropDownWidth(320);
  struct Case {
    const char* where;
    int editor_left, editor_top;  // on the screen
    TAlignment alignment;
    bool above;
    int left;  // of the list, on the screen; -1: the editor's left
  } cases[] = {
      {"top left", area.Left + 40, area.Top + 40, taLeftJustify, false, -1},
      {"near the bottom", area.Left + 40, area.Bottom - 40, taLeftJustify, true, -1},
      {"right-aligned", area.Left + 200, area.Top + 40, taRightJustify, false, area.Left + 200 + 281 - 320},
      {"centred", area.Left + 200, area.Top + 40, taCenter, false, area.Left + 200 + (281 - 320) / 2},
      {"past the right edge", area.Right - 300, area.Top + 40, taLeftJustify, false, area.Right - 320},
      {"past the left edge", area.Left, area.Top + 40, taRightJustify, false, area.Left},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    edit_->Properties().SetPopupAlignment(c.alignment);
    form_->Widget()->move(c.editor_left - 10, c.editor_top - 10);
    QApplication::processEvents();
    // Where the editor really is (the form's frame may add a little).
    const QPoint origin = edit_->Widget()->mapToGlobal(QPoint(0, 0));
    ASSERT_LE(std::abs(origin.x() - c.editor_left) + std::abs(origin.y() - c.editor_top), 8);
    Key(Qt::Key_F4);
    ASSERT_TRUE(edit_->DroppedDown());
    const TControl& list = *edit_->PopupWindow();
    EXPECT_EQ(list.Width(), 320);
    const int shift = origin.x() - c.editor_left;
    const bool clamped = c.left == area.Left || c.left == area.Right - 320;
    EXPECT_EQ(list.Left(), c.left < 0 ? origin.x() : clamped ? c.left : c.left + shift);
    EXPECT_EQ(list.Top(), c.above ? origin.y() - list.Height() : origin.y() + edit_->Height());
    Key(Qt::Key_Escape);
    ASSERT_FALSE(edit_->DroppedDown());
  }
}

// A sizeable list has a grip under its rows; dragging it sizes the window to whole rows, never narrower than the
// columns' minimum, and the dragged width stays for the next opening.
TEST_F(ComboBox, TheGripOfASizeableListSizesItToWholeRows) {
  edit_->Properties().SetDropDownSizeable(true);
  edit_->Properties().SetDropDownRows(3);
  Key(Qt::Key_F4);
  ASSERT_TRUE(edit_->DroppedDown());
  TControl& list = *edit_->PopupWindow();
  const int frame = 1, grip = 16;
  const int row = Grid().RowHeight();
  ASSERT_EQ(list.Height(), Grid().HeaderHeight() + 3 * row + 2 * frame + grip);
  EXPECT_EQ(Grid().Height(), Grid().HeaderHeight() + 3 * row) << "the grip lies below the rows";
  QWidget* window = list.Widget();
  auto drag = [&](QPoint from, QPoint to) {
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, window->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    QTest::mouseRelease(window, Qt::LeftButton, {}, to);
  };
  const QPoint corner(list.Width() - 4, list.Height() - 4);
  const int width = list.Width(), height = list.Height();
  drag(corner, corner + QPoint(60, 2 * row + row / 2));
  EXPECT_EQ(list.Width(), width + 60);
  EXPECT_EQ(list.Height(), height + 2 * row) << "snapped to whole rows";
  EXPECT_EQ(Grid().Width(), width + 60 - 2 * frame);

  // Not narrower than the columns allow, not lower than one row.
  const QPoint now(list.Width() - 4, list.Height() - 4);
  drag(now, QPoint(2, 2));
  EXPECT_EQ(list.Width(), std::max(Grid().Column(0)->MinWidth(), grip) + 2 * frame);
  EXPECT_EQ(list.Height(), Grid().HeaderHeight() + row + 2 * frame + grip);
  const int narrow = list.Width();

  // A press outside the grip sizes nothing; the next opening keeps the dragged width.
  drag(QPoint(2, 2), QPoint(200, 200));
  EXPECT_EQ(list.Width(), narrow);
  Key(Qt::Key_Escape);
  Key(Qt::Key_F4);
  ASSERT_TRUE(edit_->DroppedDown());
  EXPECT_EQ(list.Width(), narrow);
  EXPECT_EQ(list.Height(), height) << "the height is the rows' again";
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBox, AKeyThatIsNoListFieldShowsTheTextOfItsRow) {
  data_->Close();
  data_->columns = {{"codigo", ftString, 5}, {"cidade", ftString, 35}};
  data_->rows = {{"41", "Curitiba"}, {"91", "Belém"}};
  edit_->Properties().SetKeyFieldNames("codigo");
  data_->Open();
  ASSERT_FALSE(edit_->Properties().KeyIsListField());
  edit_->SetEditValue(Variant("91"));
  EXPECT_EQ(edit_->GetText(), "Belém");
  Text()->selectAll();
  Type("cu");
  EXPECT_EQ(edit_->GetText(), "Curitiba");
  EXPECT_TRUE(edit_->DroppedDown());
  Key(Qt::Key_Return);
  EXPECT_EQ(edit_->EditValue(), Variant("41"));
  edit_->SetEditValue(Variant("99"));
  EXPECT_EQ(edit_->GetText(), "");
}

// Where the value is a key and free text is allowed, a typed text that is no entry stays shown, is announced, and
// posts the key of no row: Null, or one Null for each key field. So does an erased text.
TEST_F(ComboBox, FreeTextThatIsNoEntryPostsTheKeyOfNoRow) {
  data_->Close();
  data_->columns = {{"id", ftString, 5}, {"uf", ftString, 2}, {"nome", ftString, 35}};
  data_->rows = {{"1", "PR", "Ana"}, {"2", "PA", "Bruno"}};
  edit_->Properties().SetListFieldNames("nome");
  edit_->Properties().SetDropDownListStyle(lsEditList);
  data_->Open();
  std::vector<std::string> announced;
  edit_->Properties().OnNewLookupDisplayText = [&](TObject*, const std::string& text) { announced.push_back(text); };
  struct Case {
    const char* keys;
    Variant value;  // before typing
    bool erase;     // Backspace after typing "x"
    const char* shown;
    const char* posted;
  };
  const Case cases[] = {
      {"id", Variant("1"), false, "xav", "Null"},
      {"id;uf", Variant(std::string()), false, "xav", "[Null, Null]"},
      {"id", Variant("1"), true, "", "Null"},
      {"id;uf", Variant(std::string()), true, "", "[Null, Null]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + (c.erase ? ", erased" : ", typed"));
    announced.clear();
    edit_->Properties().SetKeyFieldNames(c.keys);
    ASSERT_FALSE(edit_->Properties().KeyIsListField());
    edit_->SetEditValue(c.value);
    Text()->selectAll();
    Type(c.erase ? "x" : "xav");
    if (c.erase) Key(Qt::Key_Backspace);
    ASSERT_TRUE(edit_->DroppedDown());
    Key(Qt::Key_Return);
    EXPECT_FALSE(edit_->DroppedDown());
    EXPECT_EQ(edit_->GetText(), c.shown);
    EXPECT_EQ(Shape(edit_->EditValue()), c.posted);
    EXPECT_EQ(announced, c.erase ? std::vector<std::string>{} : std::vector<std::string>{c.shown});
  }
  // A typed entry is no new text: it takes its row's key.
  edit_->Properties().SetKeyFieldNames("id");
  Text()->selectAll();
  Type("bru");
  Key(Qt::Key_Return);
  EXPECT_EQ(edit_->GetText(), "Bruno");
  EXPECT_EQ(Shape(edit_->EditValue()), "'2'");
  EXPECT_TRUE(announced.empty());
}

}  // namespace
}  // namespace lookuptest
