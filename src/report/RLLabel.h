#pragma once

// The text controls: static labels, data-bound texts and system information.

#include "report/RLCustomControl.h"

class TDataSource;
class TDataSet;
class TField;

class TRLCustomLabel : public TRLCustomControl {
public:
  explicit TRLCustomLabel(TComponent* owner);

  // The text event: may change the text or veto the print.
  TRLBeforeTextEvent BeforePrint;

  // Written only when the design caption is set and differs from the display name.
  bool IsCaptionStored() const;

  // Caption and one blank measured in the font, plus (border width + 1) per drawn side.
  void CalcSize(int& width, int& height) override;
  void Print() override;

protected:
  void DoBeforeText(std::string& text, bool& print_it) override;
  // Rebuilds the caption from the class's source (data, system information).
  void UpdateCaption();
};

class TRLLabel : public TRLCustomLabel {
public:
  using TRLCustomLabel::TRLCustomLabel;
};

class TRLCustomDBText : public TRLCustomLabel {
public:
  explicit TRLCustomDBText(TComponent* owner);
  ~TRLCustomDBText() override;

  // A template: the first "#" takes the value, or the value follows the text.
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  // Setting one of DataField and DataFormula clears the other.
  const std::string& DataField() const { return data_field_; }
  void SetDataField(const std::string& value);
  const std::string& DataFormula() const { return data_formula_; }
  void SetDataFormula(const std::string& value);
  TDataSource* DataSource() const { return data_source_; }
  void SetDataSource(TDataSource* value);
  const std::string& DisplayMask() const { return display_mask_; }
  void SetDisplayMask(const std::string& value) { display_mask_ = value; }

  // The field DataField names, looked up in the data source's dataset; null when there is none. During
  // generation a name the dataset lacks raises "<msgNotFound>: <name>.DataField "<field>"".
  TField* Field() const;
  // The value for the current record (empty at the end of the data or without an open dataset).
  std::string GetFieldText();

  std::string BuildCaption() override;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::string text_;
  std::string data_field_;
  std::string data_formula_;
  TDataSource* data_source_ = nullptr;
  std::string display_mask_;
};

class TRLDBText : public TRLCustomDBText {
public:
  using TRLCustomDBText::TRLCustomDBText;
};

class TRLCustomSystemInfo : public TRLCustomLabel {
public:
  explicit TRLCustomSystemInfo(TComponent* owner);

  TRLInfoType Info() const { return info_; }
  void SetInfo(TRLInfoType value);
  // A template before an optional section: "word # word #|first;second|".
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);

  // The information itself, before the template.
  std::string InfoText();
  std::string BuildCaption() override;

private:
  TRLInfoType info_ = itDate;
  std::string text_;
};

class TRLSystemInfo : public TRLCustomSystemInfo {
public:
  using TRLCustomSystemInfo::TRLCustomSystemInfo;
};

// The system information kind's own name ("PageNumber" for itPageNumber).
std::string_view InfoTypeName(TRLInfoType type);
