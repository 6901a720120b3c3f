#pragma once

#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/Sets.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDef;
class TFieldDefs;

enum TDataSetMode {
  dmInactive,
  dmBrowse,
  dmEdit,
  dmInsert,
  dmSetKey,
  dmCalcFields,
  dmFilter,
  dmNewValue,
  dmOldValue,
  dmCurValue,
  dmBlockRead,
  dmInternalCalc,
  dmOpening
};

enum TDataEventKind {
  evFieldChange,
  evRecordChange,
  evDataSetChange,
  evDataSetScroll,
  evLayoutChange,
  evUpdateRecord,
  evUpdateState,
  evCheckBrowseMode,
  evPropertyChange,
  evFieldListChange,
  evFocusControl,
  evParentScroll,
  evConnectChange,
  evReconcileError,
  evDisabledStateChange
};

enum TFetchMode { fmCurrent, fmNext, fmPrior };
enum TFetchResult { frOK, frBOF, frEOF, frError };
enum TBookmarkPlace { bpCurrent, bpBOF, bpEOF, bpInserted };

enum TResyncModeFlag { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeFlag>;

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftTableOle,
  ftFileOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
using TFieldKinds = TSet<TFieldKind>;

enum TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = TSet<TFieldAttribute>;

enum TAutoRefreshFlag { arNone, arAutoInc, arDefault };
enum TProviderFlag { pfInUpdate, pfInWhere, pfInKey, pfHidden };
using TProviderFlags = TSet<TProviderFlag>;

// The name of a field type as written in the design ("ftString").
const char* FieldTypeName(TFieldType type);

// A record buffer of the ring. Its layout belongs to the concrete dataset.
using TRecordBuffer = unsigned char*;

// A bookmark: BookmarkSize bytes of the concrete dataset's own format; empty means none.
using TBookmark = std::vector<unsigned char>;

// The information that travels with a data event: a number, or a field for evFieldChange and evFocusControl.
using TDataEventInfo = std::intptr_t;
inline TDataEventInfo FieldEventInfo(TField* field) { return reinterpret_cast<TDataEventInfo>(field); }
inline TField* EventInfoField(TDataEventInfo info) { return reinterpret_cast<TField*>(info); }

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

// The largest string value, in bytes, that the fixed value buffer of a field holds.
inline constexpr int dsMaxStringSize = 8192;

// The most bytes one character of the program's character set (UTF-8) takes.
inline constexpr int dsMaxCharBytes = 4;

class EDatabaseError : public Exception {
public:
  using Exception::Exception;
};

// Raised when the base class is asked for an operation that only a concrete dataset can do.
class EAbstractError : public Exception {
public:
  using Exception::Exception;
};

// Raises EDatabaseError with `message`, prefixed by the component's name and ": " when it has a name.
[[noreturn]] void DatabaseError(std::string_view message, const TComponent* component = nullptr);
[[noreturn]] void DatabaseErrorFmt(std::string_view pattern, std::initializer_list<FormatArg> args,
                                   const TComponent* component = nullptr);
