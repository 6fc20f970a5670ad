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
#include "support/heard.h"
#include "gui/listcontrol.h"

struct ListForm : guitest::Form {
  guitest::Heard calls;  // "marked <data>", "selected <data>"

  explicit ListForm(const rt::Value& size) : Form(size) {}

  // Shows the dialog with `control` focused; from now on its callbacks note
  // their calls, with `data` telling the control's data.
  void watch(rt::ListControl* control, std::function<std::string()> data) {
    auto detail = [data](const rt::Args&) { return data(); };
    control->itemMarked = calls.block("marked", detail, control, {1, 2});
    control->itemSelected = calls.block("selected", detail, control, {1, 2});
    show(std::static_pointer_cast<rt::XbpWindow>(control->shared_from_this()));
  }
  guitest::Lines take() { return calls.take(); }
};
