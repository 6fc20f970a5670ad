// Single-line entry fields.
#pragma once

#include <string>

#include "window.h"

namespace rt {

// Single-line entry field.
class XbpBaseSLE : public XbpWindow {
  RT_CLASS("XbpBaseSLE", XbpBaseSLE, XbpWindow)

 public:
  XbpBaseSLE();
  long bufferLength = 32;
  bool editable = true;
  bool border = true;
  Value dataLink;  // callback: without argument yields the text, with a text takes it

  // Without argument: the data link's text becomes the field's text.
  // With a text: that text replaces the field's text; the data link is not run.
  bool setData(const Args& args = {});
  bool setData(const std::string& text) { return setData(Args{Value(text)}); }
  // The field's text; the data link (if any) is evaluated with it.
  std::string getData();
  bool clear();
  std::string editBuffer() const;
  // {characters before the marked range, 1-based position after it}.
  Value queryMarked() const;
  bool setMarked(const Value& range);

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;

 protected:
  bool hasFieldColours() const override { return true; }
  NativeSpec nativeSpec() const override;
  void afterCreate() override;

 private:
  std::string buffer_;  // text before the native field exists
};

}  // namespace rt
