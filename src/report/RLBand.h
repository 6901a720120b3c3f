#pragma once

// Bands: the strips a pager places on its pages, one kind per BandType.

#include "report/RLCustomSite.h"

class TRLCustomBand : public TRLCustomBandSet {
  TClassBitMark class_bit_{this, TClassBitMark::BitOf<TRLCustomBand>()};

public:
  using ClassBitOwner = TRLCustomBand;
  explicit TRLCustomBand(TComponent* owner);

  TRLBandType BandType() const { return band_type_; }
  void SetBandType(TRLBandType value);
  bool Computable() const { return computable_; }
  void SetComputable(bool value) { computable_ = value; }
  TRLPageBreaking PageBreaking() const { return page_breaking_; }
  void SetPageBreaking(TRLPageBreaking value) { page_breaking_ = value; }
  TRLCompletionType Completion() const { return completion_; }
  void SetCompletion(TRLCompletionType value) { completion_ = value; }
  bool AlignToBottom() const { return align_to_bottom_; }
  void SetAlignToBottom(bool value) { align_to_bottom_ = value; }
  // Below 1 is taken as 1; bands of the site that share a GroupIndex above 0 share the value.
  int CarbonCopies() const { return carbon_copies_; }
  void SetCarbonCopies(int value);
  // Which copy prints now (0 for the first).
  int CarbonIndex() const { return carbon_index_; }
  void SetCarbonIndex(int value) { carbon_index_ = value; }
  // Below 0 is taken as 0; a new index takes CarbonCopies from the first other band with it.
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int value);
  bool IntegralHeight() const { return integral_height_; }
  void SetIntegralHeight(bool value) { integral_height_ = value; }
  TRLBandOptions Options() const { return options_; }
  void SetOptions(TRLBandOptions value) { options_ = value; }

  // A computable detail band of a completing pager or of a blank record: its texts print empty.
  bool IsBlankFillerBand() const;

  // Whether the band counts as a printed detail now.
  bool IsCountable() const;
  void Print() override;

protected:
  void PrintContents() override;
  // Places the band on its pager's surface, breaking the page before it or slicing it across pages.
  void TransferToParent() override;

private:
  TRLBandType band_type_ = btDetail;
  bool computable_ = true;
  TRLPageBreaking page_breaking_ = pbNone;
  TRLCompletionType completion_ = ctNone;
  bool align_to_bottom_ = false;
  int carbon_copies_ = 1;
  int carbon_index_ = 0;
  int group_index_ = 0;
  bool integral_height_ = true;
  TRLBandOptions options_;
};

class TRLBand : public TRLCustomBand {
public:
  using TRLCustomBand::TRLCustomBand;
};
