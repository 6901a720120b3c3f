#pragma once
// A shown form holding a lookup combo box over a list of cities kept in memory, and helpers that type and click
// through the platform's own key and mouse events.

#include "data/MemDataSet.h"
#include "lookup/cxDBLookupComboBox.h"
#include "support/TestApplication.h"
#include "widgets/Forms.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lookuptest {

inline const std::vector<std::string> kCities = {"Belém", "Curitiba", "SANTOS", "SAO PAULO", "São José", "Vitória"};

class LookupFixture : public testing::Test {
protected:
  void SetUp() override {
    RegisterLookupClasses();
    application_ = MakeTestApplication();
    application_->OnException = [this](TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(100, 100, 400, 300);
    data_ = new TMemDataSet(form_.get());
    data_->columns = {{"cidade", ftString, 35}};
    SetCities(kCities);
    source_ = new TDataSource(form_.get());
    source_->SetDataSet(data_);
    edit_ = new TcxLookupComboBox(form_.get());
    edit_->SetName("cxLookupComboBox2");
    edit_->SetParent(form_.get());
    edit_->SetBounds(10, 10, 281, 21);
    edit_->Properties().SetKeyFieldNames("cidade");
    edit_->Properties().ListColumns().Add()->SetFieldName("cidade");
    edit_->Properties().SetListSource(source_);
    edit_->Style().SetBorderStyle(ebs3D);
    edit_->SetEditValue(Variant(std::string()));
    data_->Open();
    form_->Show();
    QWidget* window = form_->Widget();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    Text()->setFocus();
    QApplication::processEvents();
  }
  void TearDown() override {
    edit_ = nullptr;
    form_.reset();
    QApplication::processEvents();
    application_.reset();
  }

  void SetCities(const std::vector<std::string>& cities) {
    data_->rows.clear();
    for (const auto& c : cities) data_->rows.push_back({c});
  }

  QLineEdit* Text() const { return edit_->Widget()->findChild<QLineEdit*>(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Text(), key, modifiers);
    QApplication::processEvents();
  }
  void Type(const std::string& text) {
    for (QChar c : QString::fromStdString(text)) {
      QTest::keyClick(Text(), c.toLatin1() ? c.toLatin1() : 'x');
      QApplication::processEvents();
    }
  }
  // Types characters that are not ASCII as well.
  void TypeText(const std::string& text) {
    for (QChar c : QString::fromStdString(text)) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(Text(), &press);
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(Text(), &release);
    }
    QApplication::processEvents();
  }
  // One notch of the wheel over the text: up for a positive delta, down for a negative one.
  void Wheel(int delta) {
    QWheelEvent event(QPointF(5, 5), QPointF(), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Text(), &event);
  }
  std::string Selected() const { return Text()->selectedText().toStdString(); }
  TcxLookupDBGrid& Grid() { return edit_->Properties().DBGrid(); }
  TcxCustomDataController& List() { return Grid().DataController(); }
  QWidget* GridWidget() { return Grid().Widget(); }
  // The screen point of the drop-down button's centre, in the editor's coordinates.
  QPoint ButtonPoint() {
    const TRect b = edit_->ButtonRect();
    return QPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  }
  QPoint RowPoint(int row) {
    const TRect r = Grid().RowRect(row);
    return QPoint(r.Left + 20, (r.Top + r.Bottom) / 2);
  }

  std::unique_ptr<TApplication> application_;
  std::vector<std::string> errors_;
  std::unique_ptr<TForm> form_;
  TMemDataSet* data_ = nullptr;
  TDataSource* source_ = nullptr;
  TcxLookupComboBox* edit_ = nullptr;
};

}  // namespace lookuptest
