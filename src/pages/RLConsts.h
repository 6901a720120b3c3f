#pragma once

// The engine's message table: every text the report engine and its windows show, in the user's language.

#include <string>
#include <string_view>

struct TRLEngineMessages {
  std::string msgPrintingInProgress;
  std::string msgSavingReport;
  std::string msgPreparingReport;
  std::string msgPrinterNotFound;
  std::string msgInvalidPrinterPath;
  std::string msgLoadDefaultConfig;
  std::string msgPrinterDriverError;
  std::string msgPage;
  std::string msgPrepareError;
  std::string msgContinues;
  std::string msgContinuation;
  std::string msgEnd;
  std::string msgFileNotFound;
  std::string msgFileName;
  std::string msgAllFiles;
  std::string msgLoadReport;
  std::string msgNotFound;
  std::string msgWait;
  std::string msgFinished;
  std::string msgCancel;
  std::string msgClose;
  std::string msgSave;
  std::string msgSend;
  std::string msgPrint;
  std::string msgAbout;
  std::string msgPreview;
  std::string msgOf;
  std::string msgZoom;
  std::string msgFirstPage;
  std::string msgPriorPage;
  std::string msgNextPage;
  std::string msgLastPage;
  std::string msgEntirePage;
  std::string msgEntireWidth;
  std::string msgMultiplePages;
  std::string msgConfigurePrinter;
  std::string msgSaveToFile;
  std::string msgSendTo;
  std::string msgPrinter;
  std::string msgName;
  std::string msgPrintToFile;
  std::string msgPrintInBackground;
  std::string msgSaveInBackground;
  std::string msgPageRange;
  std::string msgRangeFrom;
  std::string msgRangeTo;
  std::string msgAll;
  std::string msgPages;
  std::string msgSelection;
  std::string msgCopies;
  std::string msgNumberOfCopies;
  std::string msgOk;
  std::string msgDivideScreen;
  std::string msgInvalidName;
  std::string msgNameInUse;
  std::string msgUseFilter;
  std::string msgWebPage;
  std::string msgRichTextFormat;
  std::string msgPdfDocument;
  std::string msgExcelSpreadsheet;
  std::string msgAt;
  std::string msgForm;
  std::string msgDefault;
  std::string msgCols;
  std::string msgIncreaseZoom;
  std::string msgDecreaseZoom;
  std::string msgCopy;
  std::string msgEdit;
  std::string msgFind;
  std::string msgFindText;
  std::string msgFindNext;
  std::string msgWholeWords;
  std::string msgMatchCase;
  std::string msgUp;
  std::string msgDown;
  std::string msgDirection;
  std::string msgSemicolonSeparatedText;
};

constexpr int EngineMessageCount = 77;

enum class TRLLanguage { Portuguese, English, Spanish, French };

// The language of a locale name such as "pt_BR.UTF-8", "fr" or "C"; English for any language without a column.
TRLLanguage LanguageFromLocale(std::string_view locale);
// The process's locale for the engine's texts: the first non-empty of LC_ALL, LC_MESSAGES and LANG; empty when none.
std::string ProcessLocale();
// The language of the process's locale.
TRLLanguage ProcessLanguage();

void FillEngineMessages(TRLEngineMessages& messages, TRLLanguage language);

// The process-wide table, filled once in the process's language on first use and never changed afterwards.
const TRLEngineMessages& EngineMessages();

// The text at a key's position (0 = msgPrintingInProgress ... 76 = msgSemicolonSeparatedText); empty outside that
// range.
const std::string& EngineMessageAt(const TRLEngineMessages& messages, int index);
