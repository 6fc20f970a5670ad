// The information window: picture, product, version, date, maker lines.
#include "controls.h"
#include "events.h"
#include "graphics.h"
#include "procstack.h"
#include "valumat.h"

namespace valumat {

using namespace rt;

namespace {

// The procedure's variables, shared with the window's callbacks and kept
// alive by them after INFO_Euro has returned.
struct InfoVariables {
  WindowRef oFenster;
  std::shared_ptr<XbpDialog> INFO_Euro_Fenster;
  WindowRef drawingArea;
  ObjectRef oXBP;
  PresSpaceRef oPS;
  PresSpaceRef oPS2;
  Value aLinienAttr;
  Value aStringAttr;
};

}  // namespace

void INFO_Euro(const WindowRef& oFenster) {
  RT_PROC("INFO_Euro");
  auto v = std::make_shared<InfoVariables>();
  v->oFenster = oFenster;

  v->INFO_Euro_Fenster = New<XbpDialog>({NIL, NIL, Value{250, 200}, Value{500, 400}});
  v->INFO_Euro_Fenster->title = "Informationen zum Valumat";
  v->INFO_Euro_Fenster->taskList = true;
  v->INFO_Euro_Fenster->icon = 333;
  v->INFO_Euro_Fenster->create();
  v->INFO_Euro_Fenster->close = [v](const Args&) -> Value {
    RT_PROC("(b)INFO_Euro");
    v->INFO_Euro_Fenster->destroy();
    SetAppFocus(v->oFenster);
    return NIL;
  };
  v->INFO_Euro_Fenster->keyboard = [v](const Args& a) -> Value {
    RT_PROC("(b)INFO_Euro");
    if (Arg(a, 1) == kKeyEsc || Arg(a, 1) == kKeyEnter) v->INFO_Euro_Fenster->destroy();
    return NIL;
  };

  v->drawingArea = v->INFO_Euro_Fenster->drawingArea();
  v->drawingArea->setColorBG(15);
  v->drawingArea->setFontCompoundName("8.Arial");

  auto label = [&](long x, long y, const Value& size, const Value& pp, const Value& caption, long options) {
    auto oLabel = New<XbpStatic>({v->drawingArea, NIL, Value{x, y}, size, pp});
    oLabel->autoSize = true;
    oLabel->clipSiblings = true;
    oLabel->caption = caption;
    oLabel->options = options;
    oLabel->create();
    v->oXBP = oLabel;
    return oLabel;
  };
  auto pp = [](long foreground, const char* font) {
    return Value{Value{kPPBackground, 15}, Value{kPPForeground, foreground}, Value{kPPCompoundName, font}};
  };

  auto oBild = New<XbpStatic>({v->drawingArea, NIL, Value{5, 10}, Value{108, 144}});
  oBild->autoSize = true;
  oBild->clipSiblings = true;
  oBild->type = XbpStatic::kTypeBitmap;
  oBild->caption = 930;
  oBild->accessibleName("Euro-Banknoten und -M\x81nzen");
  oBild->create();
  v->oXBP = oBild;

  label(60, 320, NIL, pp(3, "18.Tahoma Fett"), " Valumat ", XbpStatic::kTextRight | XbpStatic::kTextVCenter);
  label(300, 322, NIL, pp(2, "15.Tahoma Fett"), "Version V2.01", XbpStatic::kTextBottom);
  auto oDatum = label(335, 260, NIL, pp(1, "10.Times New Roman"), "05. Juni 2003", XbpStatic::kTextBottom);
  RT_LINE;
  v->oPS = oDatum->lockPS();
  GraSetColor({v->oPS, 2, 3});
  GraLine(v->oPS, Value{0, 0}, Value{150, 0});
  oDatum->unlockPS(v->oPS);

  const Value makerPP = pp(1, "10.Times New Roman");
  label(305, 210, Value{144, 12}, makerPP, "Valumat-Projekt", XbpStatic::kTextBottom);
  label(305, 195, Value{144, 12}, makerPP, "Freie Umrechnungshilfe", XbpStatic::kTextBottom);
  label(305, 180, Value{144, 12}, makerPP, "DM und Euro", XbpStatic::kTextBottom);
  label(305, 165, Value{144, 12}, makerPP, "EMail : valumat@example.org", XbpStatic::kTextBottom);
  label(305, 149, Value{144, 12}, makerPP, "Internet : www.example.org", XbpStatic::kTextBottom);

  v->aStringAttr = NewArray(12);
  v->aStringAttr[5] = Value{15, 40};
  v->aStringAttr[1] = 2;
  v->aLinienAttr = NewArray(4);
  v->aLinienAttr[1] = 2;
  v->aLinienAttr[4] = 0;

  RT_LINE;
  v->oPS2 = v->drawingArea->lockPS();
  GraSetAttrString({v->oPS2, v->aStringAttr});
  GraSetAttrLine({v->oPS2, v->aLinienAttr});
  GraLine(v->oPS2, Value{300, 130}, Value{470, 130});
  GraStringAt(v->oPS2, Value{305, 80}, "Freeware");
  v->drawingArea->unlockPS(v->oPS2);

  auto oOK = New<XbpPushButton>(
      {v->drawingArea, NIL, Value{330, 10}, Value{96, 24},
       Value{Value{kPPBackground, 15}, Value{kPPForeground, 1}, Value{kPPCompoundName, "10.Times New Roman"}}});
  oOK->caption = " ~OK ";
  oOK->tabStop = false;
  oOK->create();
  oOK->activate = [v](const Args&) -> Value {
    RT_PROC("(b)INFO_Euro");
    v->INFO_Euro_Fenster->destroy();
    SetAppFocus(v->oFenster);
    return NIL;
  };
  oOK->keyboard = [](const Args& a) -> Value {
    RT_PROC("(b)INFO_Euro");
    if (Arg(a, 1) == kKeyEsc || Arg(a, 1) == kKeyEnter) PostAppEvent(kEvActivate, NIL, NIL, Arg(a, 3).object());
    return NIL;
  };
  v->oXBP = oOK;

  v->INFO_Euro_Fenster->show();
  SetAppFocus(v->INFO_Euro_Fenster);
}

}  // namespace valumat
