#pragma once

// Paper sizes, page orientation, the report's page setup and the conversion from millimetres to the engine's
// 96-pixels-per-inch coordinates.

#include "core/Classes.h"

#include <string>

// The streamed ordinal is the position in this list. A scoped enumeration because `fpDefault` is also a font pitch.
enum class TRLPaperSize {
  fpA0,
  fpA1,
  fpA2,
  fpA3,
  fpA4,
  fpA5,
  fpA6,
  fpA7,
  fpA8,
  fpA9,
  fpA10,
  fpB0,
  fpB1,
  fpB2,
  fpB3,
  fpB4,
  fpB5,
  fpB6,
  fpB7,
  fpB8,
  fpB9,
  fpB10,
  fpSRA0,
  fpSRA1,
  fpSRA2,
  fpSRA3,
  fpSRA4,
  fpRA0,
  fpRA1,
  fpRA2,
  fpRA3,
  fpRA4,
  fp2A,
  fp2B,
  fp4A,
  fp4B,
  fp9x11,
  fp10x11,
  fp10x14,
  fp11x17,
  fp12x11,
  fp15x11,
  fpA3_Extra,
  fpA3_Extra_Transverse,
  fpA3_Transverse,
  fpA4_Small,
  fpA4_Extra,
  fpA4_Plus,
  fpA4_Transverse,
  fpA5_Extra,
  fpA5_Transverse,
  fpA_Plus,
  fpB4_JIS,
  fpB5_Extra,
  fpB5_Transverse,
  fpB6_JIS,
  fpB_Plus,
  fpEnv_9,
  fpEnv_10,
  fpEnv_11,
  fpEnv_12,
  fpEnv_14,
  fpEnv_B4,
  fpEnv_B5,
  fpEnv_B6,
  fpEnv_C0,
  fpEnv_C1,
  fpEnv_C2,
  fpEnv_C3,
  fpEnv_C4,
  fpEnv_C5,
  fpEnv_C5E,
  fpEnv_C6,
  fpEnv_C65,
  fpEnv_C7,
  fpEnv_C8,
  fpEnv_C9,
  fpEnv_C10,
  fpEnv_DL,
  fpEnv_Invite,
  fpEnv_Italy,
  fpEnv_Monarch,
  fpEnv_Personal,
  fpLetter,
  fpLegal,
  fpLedger,
  fpTabloid,
  fpExecutive,
  fpFanfold_US,
  fpComm10E,
  fpDLE,
  fpFolio,
  fpNote,
  fpPostcard,
  fpQuarto,
  fpStatement,
  fpLegal_Extra,
  fpLegal3,
  fpLetter_Small,
  fpLetter_Extra,
  fpLetter_Extra_Transverse,
  fpLetter_Plus,
  fpLetter_Transverse,
  fpP16K,
  fpP32K,
  fpP32KBig,
  fpPEnv_1,
  fpPEnv_2,
  fpPEnv_3,
  fpPEnv_4,
  fpPEnv_5,
  fpPEnv_6,
  fpPEnv_7,
  fpPEnv_8,
  fpPEnv_9,
  fpPEnv_10,
  fpTabloid_Extra,
  fpGerman_Legal_Fanfold,
  fpGerman_Std_Fanfold,
  fpJap_DblPostcard,
  fpJap_Postcard,
  fpEng_Foolscap,
  fpEng_DoubleFoolscap,
  fpEng_QuadFoolscap,
  fpEng_Crown,
  fpEng_DoubleCrown,
  fpEng_QuadCrown,
  fpEng_DoubleQuad,
  fpEng_Post,
  fpEng_DoublePost,
  fpEng_DoubleLarge,
  fpEng_Demy,
  fpEng_DoubleDemy,
  fpEng_QuadDemy,
  fpEng_MusicDemy,
  fpEng_Medium,
  fpEng_Royal,
  fpEng_SuperRoyal,
  fpEng_Elephant,
  fpEng_Imperial,
  fpCustom,
  fpDefault
};
constexpr int PaperSizeCount = static_cast<int>(TRLPaperSize::fpDefault) + 1;

enum class TRLPageOrientation { poPortrait, poLandscape };

struct TRLPaperInfo {
  double Width;   // mm
  double Height;  // mm
  const char* Description;
  bool Emulated;   // the printing service has no code for this size
  int DeviceCode;  // the printing service's paper number; 256 is a user-defined size
};

// The process-wide paper table, one row per TRLPaperSize.
const TRLPaperInfo& PaperInfo(TRLPaperSize size);

constexpr int UserDefinedPaperCode = 256;

// The printing service's own size that fits width x height (mm) within 0.01 mm, the first in table order on a
// tie; fpDefault when either value is negative, fpCustom when no size fits. Emulated sizes never match.
TRLPaperSize FindPaperSize(double width, double height);

struct TRLPaperDeviceSettings {
  int DeviceCode;
  double Width;     // mm
  double Height;    // mm
  int Orientation;  // 1 portrait, 2 landscape
};
TRLPaperDeviceSettings PaperDeviceSettings(bool landscape, double width, double height);

// round(mm * 96 / 25.4), halves to even: A4 is 794 x 1123.
int MMToPixels(double mm);
// Printer device pixels to report pixels along one axis.
int DeviceToScreenPixels(int devicePixels, int devicePixelsPerInch);

// A report's paper. The owner (the report) hooks OnChange to refresh its printer metrics, bounds and display.
class TRLPageSetup : public TPersistent {
public:
  explicit TRLPageSetup(TComponent* owner = nullptr) : owner_(owner) {}

  TComponent* Owner() const { return owner_; }

  TRLPaperSize PaperSize() const { return paper_size_; }
  // Copies the table's dimensions unless the new size is fpCustom.
  void SetPaperSize(TRLPaperSize value);
  double PaperWidth() const { return paper_width_; }
  // Accepted only for fpCustom and a positive value.
  void SetPaperWidth(double value);
  double PaperHeight() const { return paper_height_; }
  void SetPaperHeight(double value);
  TRLPageOrientation Orientation() const { return orientation_; }
  void SetOrientation(TRLPageOrientation value);
  bool ForceEmulation() const { return force_emulation_; }
  void SetForceEmulation(bool value) { force_emulation_ = value; }

  double OrientedWidth() const;
  double OrientedHeight() const;

  // Width and height are stored in a definition only for a custom paper.
  bool IsPaperDimensionStored() const { return paper_size_ == TRLPaperSize::fpCustom; }

  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

private:
  void Changed();

  TComponent* owner_;
  double paper_height_ = 297;
  double paper_width_ = 210;
  TRLPaperSize paper_size_ = TRLPaperSize::fpA4;
  TRLPageOrientation orientation_ = TRLPageOrientation::poPortrait;
  bool force_emulation_ = false;
};
