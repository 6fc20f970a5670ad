// The control classes application code creates: each bears the public name
// and derives from the runtime's class of the same kind.
#pragma once

#include "checkbox.h"
#include "combobox.h"
#include "crt.h"
#include "dialog.h"
#include "listbox.h"
#include "menu.h"
#include "menubar.h"
#include "mle.h"
#include "modal.h"
#include "presspace.h"
#include "pushbutton.h"
#include "radiobutton.h"
#include "scrollbar.h"
#include "sle.h"
#include "spinbutton.h"
#include "static.h"
#include "tabpage.h"
#include "threestate.h"
#include "treeview.h"
#include "treeviewitem.h"
