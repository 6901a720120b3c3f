#pragma once

#include "output/RLFilters.h"

#include <string>

// What the print and the save parameters share: the page range of a request, a file name, a help context and the
// chosen filter, which is forgotten when it is destroyed.
template <class TFilter>
class TRLOutputParams : public TComponent {
public:
  explicit TRLOutputParams(TComponent* owner) : TComponent(owner) {}
  ~TRLOutputParams() override { Destroying(); }

  int MaxPage() const { return max_page_; }
  // ToPage follows when it was at the old MaxPage.
  void SetMaxPage(int value) {
    if (to_page_ == max_page_) to_page_ = value;
    max_page_ = value;
  }
  int MinPage() const { return min_page_; }
  void SetMinPage(int value) { min_page_ = value; }
  int FromPage() const { return from_page_; }
  void SetFromPage(int value) { from_page_ = value; }
  int ToPage() const { return to_page_; }
  void SetToPage(int value) { to_page_ = value; }
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& value) { file_name_ = value; }
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int value) { help_context_ = value; }
  // Null: the printer output, or the report file.
  TFilter* Filter() const { return filter_; }
  void SetFilter(TFilter* filter) {
    if (filter == filter_) return;
    if (filter_) RemoveFreeNotification(filter_);
    filter_ = filter;
    if (filter_) FreeNotification(filter_);
  }

protected:
  // Pages 1 to 9999, no file name, no help context.
  void ClearRequest() {
    min_page_ = 1;
    max_page_ = 9999;
    from_page_ = 1;
    to_page_ = 9999;
    file_name_.clear();
    help_context_ = 0;
  }
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == filter_) filter_ = nullptr;
  }

private:
  int max_page_ = 9999;
  int min_page_ = 1;
  int from_page_ = 1;
  int to_page_ = 9999;
  std::string file_name_;
  int help_context_ = 0;
  TFilter* filter_ = nullptr;
};
