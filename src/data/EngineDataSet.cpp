#include "data/EngineDataSet.h"
#include "data/Quietly.h"

#include "core/ScopeGuard.h"
#include "core/Text.h"
#include "data/DBConsts.h"
#include "data/DBEngineError.h"
#include "data/DBTablesConsts.h"
#include "data/Database.h"
#include "data/Sessions.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint32_t kBlobCacheEntrySize = 4;
constexpr std::uint32_t kRecordInfoSize = 6;
constexpr std::uint16_t kSubtypeFixed = 31;
constexpr std::uint16_t kSubtypeAutoInc = 29;
constexpr std::uint16_t kSubtypeMoney = 21;
constexpr std::uint16_t kSubtypeUnnamed = 35;

int ClampToInt(std::int64_t value) {
  return static_cast<int>(
      std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

struct MappedType {
  TFieldType type = ftUnknown;
  int size = 0;
  int precision = 0;
};

// The field type, size and precision of an engine field descriptor.
MappedType MapFieldType(const engine::FieldDesc& d) {
  const int units1 = d.units1;
  const auto sized = [&](TFieldType t) { return units1 == 0 ? MappedType{} : MappedType{t, units1, 0}; };
  switch (d.type) {
    case 1: return sized(ftString);
    case 2: return {ftDate};
    case 3: {
      TFieldType t = ftBlob;
      switch (d.subType) {
        case 22: t = ftMemo; break;
        case 24: t = ftFmtMemo; break;
        case 25: t = ftTableOle; break;
        case 26: t = ftGraphic; break;
        case 27: t = ftFileOle; break;
        case 28: t = ftTypedBinary; break;
        case 33: t = ftOraClob; break;
        case 34: t = ftOraBlob; break;
        default: break;
      }
      return {t, units1, 0};
    }
    case 4: return {ftBoolean};
    case 5: return {d.length == 2 ? ftSmallint : ftUnknown};
    case 6: return {d.subType == kSubtypeAutoInc ? ftAutoInc : ftInteger};
    case 7: return {d.subType == kSubtypeMoney ? ftCurrency : ftFloat};
    case 8: return {ftBCD, std::abs(static_cast<int>(d.units2)), units1};
    case 9: return sized(ftBytes);
    case 10: return {ftTime};
    case 11: return {ftDateTime};
    case 12: return {d.length == 2 ? ftWord : ftUnknown};
    case 13: return {ftInteger};
    case 15: return sized(ftVarBytes);
    case 18:
    case 19: return {ftLargeint};
    case 20: return sized(ftADT);
    case 21: return sized(ftArray);
    case 22: return sized(ftReference);
    case 23: return sized(ftDataSet);
    case 24: return {ftTimeStamp};
    default: return {};
  }
}

// The whole number a key value stands for: an integer, a float without a fraction or a text of either.
bool WholeKeyValue(const Variant& key, std::int64_t& value) {
  if (key.VarType() == Variant::Type::Integer) {
    value = key.AsInteger();
    return true;
  }
  double number = 0;
  if (key.VarType() == Variant::Type::Float) {
    number = key.AsFloat();
  } else {
    const std::string text = Trim(key.ToText());
    if (TryStrToInt64(text, value)) return true;
    if (!TryStrToFloat(text, number)) return false;
  }
  if (!FitsInt64(number) || number != std::trunc(number)) return false;
  value = static_cast<std::int64_t>(number);
  return true;
}

// "name", or "name_1", "name_2", ... when the collection already has that name.
std::string FreeName(const TFieldDefs& defs, const std::string& name) {
  if (defs.IndexOf(name) < 0) return name;
  for (int n = 1;; ++n) {
    std::string candidate = name + "_" + std::to_string(n);
    if (defs.IndexOf(candidate) < 0) return candidate;
  }
}

std::string Prefixed(const TComponent* component, const char* text) {
  if (component && !component->Name().empty()) return component->Name() + ": " + text;
  return text;
}

}  // namespace

// ---- TEngineDataSet ----

TEngineDataSet::TEngineDataSet(TComponent* owner) : TDataSet(owner) {}

TEngineDataSet::~TEngineDataSet() {
  CloseOnDestroy();
  Quietly([this] { DestroyHandle(); });
}

TSession* TEngineDataSet::DataSession() const { return Session(); }

void TEngineDataSet::SetCachedUpdates(bool value) {
  CheckInactive();
  cachedUpdates_ = value;
}

std::string TEngineDataSet::Translate(std::string_view source, bool toEngine) {
  return TranslateText(locale_, source, toEngine);
}

void TEngineDataSet::OpenCursor(bool infoQuery) {
  if (!handle_) {
    handle_ = CreateHandle();
    if (!handle_) {
      Sessions().HideWaitCursor();
      throw ENoResultSet(Prefixed(this, SHandleError));
    }
  }
  {
    TSessionLock lock(DataSession());
    engine::LocaleHandle cursorLocale;
    if (engine::GetLocale(handle_, cursorLocale) == engine::status::Ok && cursorLocale) locale_ = cursorLocale;
  }
  TDataSet::OpenCursor(infoQuery);
}

void TEngineDataSet::CloseCursor() {
  try {
    TDataSet::CloseCursor();
  } catch (...) {
    Quietly([this] { DestroyHandle(); });
    throw;
  }
  DestroyHandle();
}

void TEngineDataSet::DestroyHandle() {
  locale_ = {};
  if (!handle_) return;
  TSessionLock lock(DataSession());
  engine::ReleaseRecordLocks(handle_);
  engine::CloseCursor(handle_);
  handle_ = {};
}

void TEngineDataSet::InternalOpen() {
  {
    TSessionLock lock(DataSession());
    engine::CursorProps props;
    Check(engine::GetCursorProps(handle_, props));
    recordSize_ = props.recordSize;
    engineBookmarkSize_ = props.bookmarkSize;
    canModify_ = props.openMode == 0 && !props.temporaryTable;
    numbering_ = props.recordNumbering;
  }
  SetBookmarkSize(engineBookmarkSize_);
  InternalInitFieldDefs();
  if (DefaultFields()) CreateFields();
  BindFields(true);
  calcAreaOffset_ = recordSize_;
  blobCacheOffset_ = calcAreaOffset_ + static_cast<std::uint32_t>(CalcFieldsSize());
  recordInfoOffset_ = blobCacheOffset_ + static_cast<std::uint32_t>(BlobFieldCount()) * kBlobCacheEntrySize;
  bookmarkOffset_ = recordInfoOffset_ + kRecordInfoSize;
  recordBufferSize_ = bookmarkOffset_ + engineBookmarkSize_;
  TSessionLock lock(DataSession());
  Check(engine::SetToBegin(handle_));
}

void TEngineDataSet::InternalClose() {
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  canModify_ = false;
  fieldLengths_.clear();
  fieldTypes_.clear();
  wideValue_.clear();
  wideValue_.shrink_to_fit();
}

void TEngineDataSet::InternalInitFieldDefs() {
  TSessionLock lock(DataSession());
  engine::CursorProps props;
  Check(engine::GetCursorProps(handle_, props));
  std::int64_t highest = 0;
  Check(engine::GetProp(handle_, engine::prop::CursorMaxFieldNumber, highest));
  const std::size_t slots = static_cast<std::size_t>(highest < 1 ? props.fieldCount : highest) + 1;
  std::vector<bool> required(slots, false);
  std::vector<engine::ValidityCheck> checks;
  Check(engine::GetValidityChecks(handle_, checks));
  for (const auto& c : checks) {
    if (c.required && !c.hasDefault && c.fieldNumber < slots) required[c.fieldNumber] = true;
  }
  std::vector<engine::FieldDesc> descs;
  Check(engine::GetFieldDescs(handle_, descs));
  fieldLengths_.assign(descs.size() + 1, 0);
  fieldTypes_.assign(descs.size() + 1, 0);
  FieldDefs().Clear();
  // Nested definitions take the descriptors that follow their parent.
  std::size_t next = 0;
  int fieldNo = 1;
  std::function<void(TFieldDefs&, std::size_t)> addDefs = [&](TFieldDefs& defs, std::size_t count) {
    for (std::size_t k = 0; k < count && next < descs.size(); ++k) {
      const engine::FieldDesc& d = descs[next++];
      if (d.fieldNumber < fieldLengths_.size()) {
        fieldLengths_[d.fieldNumber] = d.length;
        fieldTypes_[d.fieldNumber] = d.type;
      }
      const MappedType mapped = MapFieldType(d);
      const std::string name = FreeName(defs, Translate(d.name, false));
      const bool isRequired =
          fieldNo >= 0 && static_cast<std::size_t>(fieldNo) < slots && required[fieldNo] && mapped.type != ftAutoInc;
      TFieldDef* def = defs.AddFieldDef(name, mapped.type, mapped.size, isRequired, fieldNo);
      def->SetPrecision(mapped.precision);
      TFieldAttributes attributes = def->Attributes();
      if (d.rights == 1) attributes.Include(faReadonly);
      if (d.subType == kSubtypeFixed) attributes.Include(faFixed);
      if (mapped.type == ftADT && d.subType == kSubtypeUnnamed) attributes.Include(faUnNamed);
      def->SetAttributes(attributes);
      if (d.calculated) def->SetInternalCalcField(true);
      ++fieldNo;
      if (mapped.type == ftADT) {
        addDefs(def->ChildDefs(), static_cast<std::size_t>(std::max<int>(d.units1 - 1, 0)));
      } else if (mapped.type == ftArray && next < descs.size()) {
        engine::FieldDesc element = descs[next];
        element.name = d.name + "[0]";
        descs[next] = element;
        addDefs(def->ChildDefs(), 1);
        fieldNo += std::max<int>(d.units2 - 1, 0);
      }
    }
  };
  addDefs(FieldDefs(), descs.size());
  FieldDefs().SetUpdated(true);
}

TRecordBuffer TEngineDataSet::AllocRecordBuffer() {
  auto* buffer = new unsigned char[recordBufferSize_ ? recordBufferSize_ : 1]();
  return buffer;
}

void TEngineDataSet::FreeRecordBuffer(TRecordBuffer& buffer) {
  delete[] buffer;
  buffer = nullptr;
}

TEngineDataSet::RecordInfo TEngineDataSet::ReadInfo(TRecordBuffer buffer) const {
  RecordInfo info{};
  const unsigned char* p = buffer + recordInfoOffset_;
  std::memcpy(&info.recordNumber, p, sizeof info.recordNumber);
  info.updateStatus = p[4];
  info.bookmarkPlace = p[5];
  return info;
}

void TEngineDataSet::WriteInfo(TRecordBuffer buffer, const RecordInfo& info) const {
  unsigned char* p = buffer + recordInfoOffset_;
  std::memcpy(p, &info.recordNumber, sizeof info.recordNumber);
  p[4] = info.updateStatus;
  p[5] = info.bookmarkPlace;
}

TFetchResult TEngineDataSet::GetRecord(TRecordBuffer buffer, TFetchMode mode, bool doCheck) {
  TSessionLock lock(DataSession());
  engine::RecordProps props;
  engine::Status status;
  switch (mode) {
    case fmCurrent: status = engine::GetRecord(handle_, buffer, &props); break;
    case fmNext: status = engine::GetNextRecord(handle_, buffer, &props); break;
    default: status = engine::GetPriorRecord(handle_, buffer, &props); break;
  }
  if (status == engine::status::Bof) return frBOF;
  if (status == engine::status::Eof) return frEOF;
  if (status != engine::status::Ok) {
    if (doCheck) Check(status);
    return frError;
  }
  std::int64_t number = -1;
  if (numbering_ == engine::RecordNumbering::Physical) number = props.recordNumber;
  else if (numbering_ == engine::RecordNumbering::Sequence) number = props.sequenceNumber;
  WriteInfo(buffer, {ClampToInt(number), props.updateStatus, static_cast<std::uint8_t>(bpCurrent)});
  std::memset(buffer + blobCacheOffset_, 0, recordInfoOffset_ - blobCacheOffset_);
  ClearCalcFields(buffer);
  Check(engine::GetBookmark(handle_, buffer + bookmarkOffset_));
  return frOK;
}

void TEngineDataSet::ClearCalcFields(TRecordBuffer buffer) {
  std::memset(buffer + calcAreaOffset_, 0, blobCacheOffset_ - calcAreaOffset_);
}

void TEngineDataSet::InternalFirst() {
  TSessionLock lock(DataSession());
  Check(engine::SetToBegin(handle_));
}

void TEngineDataSet::InternalLast() {
  TSessionLock lock(DataSession());
  Check(engine::SetToEnd(handle_));
}

void TEngineDataSet::InternalSetToRecord(TRecordBuffer buffer) { InternalGotoBookmark(buffer + bookmarkOffset_); }

void TEngineDataSet::InternalGotoBookmark(const unsigned char* bookmark) {
  TSessionLock lock(DataSession());
  Check(engine::SetToBookmark(handle_, bookmark));
}

void TEngineDataSet::InternalRefresh() {
  // Query results are read once; the window is read again from the cursor by the resynchronisation that follows.
}

void TEngineDataSet::GetBookmarkData(TRecordBuffer buffer, unsigned char* data) {
  std::memcpy(data, buffer + bookmarkOffset_, engineBookmarkSize_);
}

void TEngineDataSet::SetBookmarkData(TRecordBuffer buffer, const unsigned char* data) {
  std::memcpy(buffer + bookmarkOffset_, data, engineBookmarkSize_);
}

TBookmarkPlace TEngineDataSet::GetBookmarkPlace(TRecordBuffer buffer) {
  return static_cast<TBookmarkPlace>(ReadInfo(buffer).bookmarkPlace);
}

void TEngineDataSet::SetBookmarkPlace(TRecordBuffer buffer, TBookmarkPlace place) {
  RecordInfo info = ReadInfo(buffer);
  info.bookmarkPlace = static_cast<std::uint8_t>(place);
  WriteInfo(buffer, info);
}

TRecordBuffer TEngineDataSet::FieldBuffer() const {
  switch (State()) {
    case dmBrowse: return IsEmpty() ? nullptr : ActiveBuffer();
    case dmEdit:
    case dmInsert: return ActiveBuffer();
    default: return nullptr;
  }
}

bool TEngineDataSet::GetFieldData(TField* field, void* buffer, std::size_t size, bool nativeFormat) {
  if (!nativeFormat) return TDataSet::GetFieldData(field, buffer, size, false);
  TRecordBuffer record = FieldBuffer();
  if (!record) return false;
  const int fieldNo = field->FieldNo();
  if (fieldNo <= 0) {
    const unsigned char* slot = record + calcAreaOffset_ + field->Offset();
    const bool present = slot[0] != 0;
    if (present && buffer) std::memcpy(buffer, slot + 1, std::min(size, static_cast<std::size_t>(field->DataSize())));
    return present;
  }
  TSessionLock lock(DataSession());
  const auto number = static_cast<std::uint16_t>(fieldNo);
  bool blank = true;
  if (!buffer || size == 0) {
    Check(engine::GetField(handle_, number, record, nullptr, blank));
    return !blank;
  }
  const std::size_t length = static_cast<std::size_t>(fieldNo) < fieldLengths_.size() ? fieldLengths_[fieldNo] : 0;
  if (size >= length) {
    Check(engine::GetField(handle_, number, record, buffer, blank));
    return !blank;
  }
  // The caller's buffer is smaller than the engine's value area: read whole, hand over what fits.
  wideValue_.resize(length);
  Check(engine::GetField(handle_, number, record, wideValue_.data(), blank));
  if (blank) return false;
  auto* out = static_cast<char*>(buffer);
  if (fieldTypes_[fieldNo] == engine::fld::Text) {
    const std::size_t n = std::min(strnlen(wideValue_.data(), length), size - 1);
    std::memcpy(out, wideValue_.data(), n);
    out[n] = '\0';
  } else {
    std::memcpy(out, wideValue_.data(), size);
  }
  return true;
}

int TEngineDataSet::GetRecordCount() {
  CheckActive();
  TSessionLock lock(DataSession());
  std::int64_t count = 0;
  if (engine::GetExactRecordCount(handle_, count) == engine::status::Ok) return ClampToInt(count);
  if (engine::GetRecordCount(handle_, count) == engine::status::Ok) return ClampToInt(count);
  return -1;
}

int TEngineDataSet::GetRecNo() {
  CheckActive();
  if (IsEmpty() || !ActiveBuffer()) return -1;
  return ReadInfo(ActiveBuffer()).recordNumber;
}

void TEngineDataSet::SetRecNo(int value) {
  EnsureBrowsing();
  if (numbering_ != engine::RecordNumbering::Sequence || value == RecNo()) return;
  DoBeforeScroll();
  engine::Status status;
  {
    TSessionLock lock(DataSession());
    status = engine::SetToSequenceNumber(handle_, value);
  }
  if (status != engine::status::Ok) return;
  Resync({rmCenter});
  DoAfterScroll();
}

bool TEngineDataSet::HasRecordNumbers() { return numbering_ == engine::RecordNumbering::Sequence && !Filtered(); }

bool TEngineDataSet::IsSequenced() { return HasRecordNumbers(); }

int TEngineDataSet::CompareBookmarks(const unsigned char* a, const unsigned char* b) {
  if (!a && !b) return 0;
  if (!b) return -1;
  if (!a) return 1;
  TSessionLock lock(DataSession());
  int result = 0;
  Check(engine::CompareBookmarks(handle_, a, b, result));
  return result == 2 ? 0 : result;
}

bool TEngineDataSet::BookmarkValid(const unsigned char* bookmark) {
  if (!handle_ || !bookmark) return false;
  CursorPosChanged();
  TSessionLock lock(DataSession());
  if (engine::SetToBookmark(handle_, bookmark) != engine::status::Ok) return false;
  return engine::GetRecord(handle_, nullptr, nullptr) == engine::status::Ok;
}

bool TEngineDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
  DoBeforeScroll();
  EnsureBrowsing();
  CursorPosChanged();
  std::vector<TField*> fields;
  CollectFields(fields, keyFields);
  std::vector<Variant> keys;
  if (fields.size() == 1) {
    keys.push_back(keyValues.IsArray() && keyValues.AsArray().size() == 1 ? keyValues.AsArray()[0] : keyValues);
  } else if (keyValues.IsArray() && keyValues.AsArray().size() == fields.size()) {
    keys = keyValues.AsArray();
  } else {
    DatabaseError(SKeyValueCount, this);
  }

  struct Key {
    std::uint16_t fieldNo;
    bool numeric;  // a float column; whole numbers are compared by their text
    bool clear;
    std::string text;  // in the engine's character set, upper case when case does not matter
    double number;
    bool prefix;
  };
  const bool ignoreCase = options.Contains(loCaseInsensitive);
  std::vector<Key> matchers;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int fieldNo = fields[i]->FieldNo();
    // Only columns of the cursor can be compared by the engine.
    if (fieldNo <= 0 || static_cast<std::size_t>(fieldNo) >= fieldTypes_.size()) return false;
    const std::uint16_t type = fieldTypes_[fieldNo];
    const bool whole = type == engine::fld::Int64;
    Key key{static_cast<std::uint16_t>(fieldNo),
            type == engine::fld::Float,
            keys[i].IsClear(),
            {},
            0.0,
            !whole && options.Contains(loPartialKey) && i + 1 == fields.size()};
    if (!key.clear) {
      if (whole) {
        // Whole numbers are compared by their digits: a double cannot tell all 64-bit values apart.
        std::int64_t value = 0;
        if (!WholeKeyValue(keys[i], value)) return false;
        key.text = std::to_string(value);
      } else if (key.numeric) {
        if (keys[i].IsNumeric()) key.number = keys[i].AsFloat();
        else if (!TryStrToFloat(Trim(keys[i].ToText()), key.number)) return false;
      } else {
        key.text = Translate(keys[i].ToText(), true);
        if (ignoreCase) key.text = AnsiUpperCase(key.text);
      }
    }
    matchers.push_back(std::move(key));
  }

  const engine::CursorHandle cursor = handle_;
  auto accept = [cursor, &matchers, ignoreCase](const void* record) {
    std::string text;
    for (const Key& key : matchers) {
      bool blank = true;
      if (engine::GetFieldText(cursor, key.fieldNo, record, text, blank) != engine::status::Ok) return false;
      if (blank || key.clear) {
        if (blank != key.clear) return false;
        continue;
      }
      if (key.numeric) {
        double value = 0;
        if (!TryStrToFloat(text, value) || value != key.number) return false;
        continue;
      }
      if (ignoreCase) text = AnsiUpperCase(text);
      if (key.prefix ? text.compare(0, key.text.size(), key.text) != 0 || text.size() < key.text.size()
                     : text != key.text)
        return false;
    }
    return true;
  };

  engine::Status status;
  {
    TSessionLock lock(DataSession());
    Check(engine::SetToBegin(handle_));
    Check(engine::SetFilter(handle_, accept));
    TScopeExit removeFilter([cursor = handle_] { engine::SetFilter(cursor, nullptr); });
    status = engine::GetNextRecord(handle_, ScratchBuffer(), nullptr);
    if (status != engine::status::Ok && status != engine::status::Eof) {
      EDBEngineError error(status);
      Sessions().HideWaitCursor();
      throw error;
    }
  }
  if (status != engine::status::Ok) return false;
  Resync({rmExact, rmCenter});
  DoAfterScroll();
  return true;
}

// ---- TDBDataSet ----

TDBDataSet::TDBDataSet(TComponent* owner) : TEngineDataSet(owner) {}

TDBDataSet::~TDBDataSet() {
  CloseOnDestroy();
  if (database_) Quietly([this] { ReleaseDatabase(); });
}

void TDBDataSet::SetAutoRefresh(bool value) {
  CheckInactive();
  autoRefresh_ = value;
}

void TDBDataSet::SetDatabaseName(const std::string& value) {
  if (value == databaseName_) return;
  CheckInactive();
  if (database_) DatabaseError(SDatabaseOpen, this);
  databaseName_ = value;
  DispatchDataEvent(evPropertyChange, 0);
}

void TDBDataSet::SetSessionName(const std::string& value) {
  if (value == sessionName_) return;
  CheckInactive();
  if (database_) DatabaseError(SDatabaseOpen, this);
  sessionName_ = value;
  DispatchDataEvent(evPropertyChange, 0);
}

TSession* TDBDataSet::DBSession() const { return Sessions().GetSession(sessionName_); }

TSession* TDBDataSet::DataSession() const {
  if (database_ && database_->Session()) return database_->Session();
  TSession* s = Sessions().FindSession(sessionName_);
  return s ? s : Session();
}

void TDBDataSet::SetDBFlag(TDBFlag flag, bool value) {
  const unsigned bit = 1u << flag;
  if (value) {
    if (dbFlags_ == 0) AcquireDatabase();
    dbFlags_ |= bit;
  } else {
    if (!(dbFlags_ & bit)) return;
    dbFlags_ &= ~bit;
    if (dbFlags_ == 0) ReleaseDatabase();
  }
}

void TDBDataSet::AcquireDatabase() {
  TSession* session = DBSession();
  database_ = session->OpenDatabase(databaseName_, this);
  database_->RegisterClient(this);
  SetLocale(database_->Locale());
}

void TDBDataSet::ReleaseDatabase() {
  TDatabase* db = database_;
  if (!db) return;
  database_ = nullptr;
  db->UnregisterClient(this);
  if (TSession* session = db->Session()) session->CloseDatabase(db);
}

void TDBDataSet::OpenCursor(bool infoQuery) {
  SetDBFlag(dbfOpened, true);
  try {
    SetLocale(database_->Locale());
    TEngineDataSet::OpenCursor(infoQuery);
  } catch (...) {
    Quietly([this] { SetDBFlag(dbfOpened, false); });
    throw;
  }
}

void TDBDataSet::CloseCursor() {
  try {
    TEngineDataSet::CloseCursor();
  } catch (...) {
    Quietly([this] { SetDBFlag(dbfOpened, false); });
    throw;
  }
  SetDBFlag(dbfOpened, false);
}
