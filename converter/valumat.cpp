// The converter window: two amount fields, DM and euro, converted into each
// other on every key at the fixed rate.
#include "valumat.h"

#include <functional>

#include "controls.h"
#include "dll.h"
#include "events.h"
#include "format.h"
#include "procstack.h"
#include "settings.h"
#include "text858.h"
#include "transform.h"

namespace valumat {

using namespace rt;

void AppSys() {
  RT_PROC("AppSys");
  SetLocale(37, "1");
  SetLocale(kLocaleCurrency, "€"_cp858);
  // The fields take amounts alone, which an input method could only turn
  // into full-width digits that read as nothing; without one, the system
  // also starts no input-method machinery (under Wine a COM apartment) when
  // the window first takes the focus.
  const Value imm = DllLoad("IMM32.DLL");
  if (imm != Value(0)) {
    DllCall(imm, kDllStdcall, "ImmDisableIME", {-1});  // all threads of the program
    DllUnload(imm);
  }
}

void Main() {
  RT_PROC("Main");
  Value mp1, mp2;
  ObjectRef oXbp;
  long nEvent = 0;
  std::shared_ptr<XbpDialog> oDlg;
  std::shared_ptr<XbpSLE> oSLE1, oSLE2;
  double nEuro = 0, nDM = 1.95583, nKurs = 1.95583;
  WindowRef drawingArea;
  Value aGross;
  const long nBreit = 10, nHoch = 10;
  Value aPosRechner;

  aPosRechner = NewArray(2);
  aGross = SetAppWindow()->currentSize();
  aPosRechner[1] = Int((aGross.at(1).number() - nBreit) / 2);
  aPosRechner[2] = Int((aGross.at(2).number() - nHoch) / 2);

  oDlg = New<XbpDialog>({AppDesktop(), NIL, Value{aPosRechner.at(1), aPosRechner.at(2)}, Value{280, 140}, NIL, false});
  oDlg->taskList = true;
  oDlg->icon = 333;
  oDlg->title = " Valumat";
  oDlg->close = [&](const Args&) -> Value {
    RT_PROC("(b)Main");
    nEvent = kEvClose;
    oDlg->destroy();
    return NIL;
  };
  oDlg->create();

  drawingArea = oDlg->drawingArea();
  drawingArea->setColorBG(15);
  drawingArea->setFontCompoundName("9.Arial Fett");

  // The flags tell readers which currency the field beside them takes.
  auto flag = [&](long x, long y, long picture, const std::string& name) {
    auto oFlag = New<XbpStatic>({drawingArea, NIL, Value{x, y}, Value{108, 144}});
    oFlag->clipSiblings = true;
    oFlag->autoSize = true;
    oFlag->type = XbpStatic::kTypeBitmap;
    oFlag->caption = picture;
    oFlag->accessibleName(name);
    oFlag->create();
    oXbp = oFlag;
  };

  // An amount field: its variable behind the data link, emptied on leaving,
  // and converted into the other field on every key but Escape.
  // Its labels stand after it, so it is named for screen readers.
  auto amountField = [&](long y, long background, long foreground, double& nVar, const std::string& cName) {
    auto oSLE = New<XbpSLE>({drawingArea, NIL, Value{44, y}, Value{96, 24},
                             Value{Value{kPPBackground, background}, Value{kPPForeground, foreground},
                                   Value{kPPCompoundName, "8.MS Sans Serif"}}});
    oSLE->tabStop = true;
    oSLE->bufferLength = 20;
    oSLE->clipSiblings = true;
    oSLE->accessibleName(cName);
    oSLE->dataLink = [&nVar](const Args& a) -> Value {
      RT_PROC("(b)Main");
      RT_LINE;
      if (PCount(a) == 0) return Transform(nVar, "@N");
      nVar = LChar2Var(Arg(a, 1).text(), "N 999999999.99").number();
      return nVar;
    };
    oSLE->setData();
    oSLE->create();
    oSLE->clear();
    oXbp = oSLE;
    return oSLE;
  };

  auto quit = [&]() {
    nEvent = kEvClose;
    oDlg->destroy();
  };

  // Leaving a field, for whatever takes the focus (the other field, a button,
  // another program), empties both fields, so that a new amount is typed into
  // an empty pair. A key other than Escape converts the field's whole text
  // into the other field, and so does every other change the user makes to
  // it (the field's menu, a drop).
  // The variable takes the double result; the field shows the exact one: the
  // typed digits times or by the rate, rounded once to the cent.
  auto wire = [&](std::shared_ptr<XbpSLE>& oSelf, std::shared_ptr<XbpSLE>& oOther, std::function<void()> convert,
                  RateOp op) {
    oSelf->killInputFocus = [&oSelf, &oOther](const Args&) -> Value {
      RT_PROC("(b)Main");
      oSelf->clear();
      oOther->clear();
      return NIL;
    };
    auto conversion = [&oSelf, &oOther, &nKurs, convert, op] {
      const std::string cText = oSelf->getData();
      convert();
      oOther->setData(FormatAtRate(cText, "N 999999999.99", nKurs, op, "@N 999999999.99"));
    };
    oSelf->keyboard = [&quit, conversion](const Args& a) -> Value {
      RT_PROC("(b)Main");
      if (Arg(a, 1) == kKeyEsc) {
        quit();
      } else {
        RT_LINE;
        conversion();
      }
      return NIL;
    };
    oSelf->change = [conversion](const Args&) -> Value {
      RT_PROC("(b)Main");
      RT_LINE;
      conversion();
      return NIL;
    };
  };

  flag(5, 75, 931, "Flagge Deutschlands");
  oSLE1 = amountField(75, -47, 3, nEuro, "Betrag in DM");
  wire(oSLE1, oSLE2, [&] { return nEuro = nEuro / nKurs; }, RateOp::Divide);

  flag(5, 42, 932, "Flagge Europas");
  oSLE2 = amountField(40, -41, 4, nDM, "Betrag in Euro");
  wire(oSLE2, oSLE1, [&] { return nDM = nDM * nKurs; }, RateOp::Multiply);

  auto label = [&](long x, long y, const std::string& text) {
    auto oLabel = New<XbpStatic>({drawingArea, NIL, Value{x, y}, Value{20, 20}});
    oLabel->caption = text;
    oLabel->clipSiblings = true;
    oLabel->autoSize = true;
    oLabel->options = XbpStatic::kTextRight | XbpStatic::kTextVCenter;
    oLabel->create();
    oXbp = oLabel;
  };
  label(148, 75, "DM");
  label(155, 40, "€"_cp858);

  auto button = [&](long y, const std::string& caption) {
    auto oButton = New<XbpPushButton>(
        {drawingArea, NIL, Value{192, y}, Value{76, 24}, Value{Value{kPPBackground, -40}, Value{kPPForeground, -58}}});
    oButton->caption = caption;
    oButton->tabStop = false;
    oButton->create();
    oXbp = oButton;
    return oButton;
  };
  button(75, " ~Info")->activate = [&](const Args&) -> Value {
    RT_PROC("(b)Main");
    INFO_Euro(oDlg);
    return NIL;
  };
  auto oBeenden = button(40, " ~Beenden");
  oBeenden->activate = [&](const Args&) -> Value {
    RT_PROC("(b)Main");
    quit();
    return NIL;
  };
  oBeenden->keyboard = [&](const Args& a) -> Value {
    RT_PROC("(b)Main");
    if (Arg(a, 1) == kKeyEsc) quit();
    return NIL;
  };

  auto oKurs = New<XbpStatic>({drawingArea, NIL, Value{25, 5}, Value{240, 24},
                               Value{Value{kPPForeground, 3}, Value{kPPCompoundName, "10.Arial Fett"}}});
  oKurs->caption = "Kurs: 1€ = 1,95583 DM"_cp858;
  oKurs->clipSiblings = true;
  oKurs->options = XbpStatic::kTextCenter | XbpStatic::kTextVCenter;
  oKurs->create();
  oXbp = oKurs;

  // Active again (the information window closed, restored, switched back
  // to), the converter gives typed digits to an amount field: the one that
  // had the focus, or the euro field, as at start.
  oDlg->focusOnActivation = oSLE2;
  oDlg->show();
  SetAppFocus(oDlg);
  SetAppFocus(oSLE2);

  while (nEvent != kEvClose) {
    nEvent = AppEvent(mp1, mp2, oXbp);
    RT_LINE;
    if (nEvent == kEvClose && oXbp != oDlg) {
      // The close button of an information window closes that window only;
      // the program ends on its own window's close alone.
      nEvent = kEvNone;
      oXbp->handleEvent(kEvClose, mp1, mp2);
      continue;
    }
    if (oXbp) oXbp->handleEvent(nEvent, mp1, mp2);
  }
}

}  // namespace valumat
