// Shared by the tests of list boxes and combination boxes: a dialog around a
// list control, shown with the control focused, and the calls of the
// control's itemMarked and itemSelected callbacks, each noted with what the
// control held at the time.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/form.h"
#include "gui/listcontrol.h"

struct ListForm : guitest::Form {
  std::vector<std::string> calls;  // "marked <data>", "selected <data>"

  explicit ListForm(const rt::Value& size) : Form(size) {}

  // Shows the dialog with `control` focused; from now on its callbacks note
  // their calls, with `data` telling the control's data.
  void watch(rt::ListControl* control, std::function<std::string()> data) {
    auto note = [this, control, data](const std::string& what) {
      return [this, control, data, what](const rt::Args& a) -> rt::Value {
        EXPECT_TRUE(rt::Arg(a, 1).isNil());
        EXPECT_TRUE(rt::Arg(a, 2).isNil());
        EXPECT_EQ(rt::Arg(a, 3).object().get(), control);
        calls.push_back(what + " " + data());
        return rt::NIL;
      };
    };
    control->itemMarked = note("marked");
    control->itemSelected = note("selected");
    show(std::static_pointer_cast<rt::XbpWindow>(control->shared_from_this()));
  }
  std::vector<std::string> take() { return std::exchange(calls, {}); }
};
