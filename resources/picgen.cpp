// Draws the program's pictures (banknotes and coins, the two flags, the icon)
// and writes them as BMP and ICO files, and each of them again at the sizes
// that display scaling asks for, as picture sets (runtime/pictures.h) that the
// build then compresses. Runs on the build host; the output depends on nothing
// but this source, so every build embeds the same bytes.
//
// Usage: picgen OUTDIR

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb rgb(int hex) { return {double(hex >> 16 & 255), double(hex >> 8 & 255), double(hex & 255)}; }
Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb scale(Rgb c, double f) { return {c.r * f, c.g * f, c.b * f}; }
const Rgb kWhite = rgb(0xFFFFFF);
const Rgb kBlack = rgb(0x000000);

// A sample returned by a shape: colour and opacity at one point.
struct Sample {
    Rgb c;
    double a = 0;
};

// Premultiplied colour with coverage, so transparent icon pixels composite
// correctly and opaque bitmaps come out exactly as drawn. Pictures are drawn
// in the units of their size at 100 %; a canvas of another `zoom` has that
// many pixels per unit (rounded half away from zero, as the runtime scales)
// and samples the same shapes at its own resolution.
class Canvas {
public:
    Canvas(int w, int h, Rgb fill, double alpha, double zoom = 1)
        : w_(int(std::lround(w * zoom))), h_(int(std::lround(h * zoom))), zoom_(zoom),
          px_(size_t(w_) * h_, {scale(fill, alpha), alpha}) {}
    int width() const { return w_; }
    int height() const { return h_; }

    // Paints shape `f(x, y) -> Sample` inside the given box with n x n samples
    // per pixel; x, y are continuous in picture units, pixel (i, j) spans
    // [i, i+1) x [j, j+1) divided by the zoom.
    template <class F>
    void paint(double x0, double y0, double x1, double y1, F f, int n = 6) {
        int i0 = std::max(0, int(std::floor(x0 * zoom_))), i1 = std::min(w_ - 1, int(std::ceil(x1 * zoom_)));
        int j0 = std::max(0, int(std::floor(y0 * zoom_))), j1 = std::min(h_ - 1, int(std::ceil(y1 * zoom_)));
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                Rgb acc;
                double a = 0;
                for (int sy = 0; sy < n; ++sy)
                    for (int sx = 0; sx < n; ++sx) {
                        Sample s = f((i + (sx + 0.5) / n) / zoom_, (j + (sy + 0.5) / n) / zoom_);
                        acc = {acc.r + s.c.r * s.a, acc.g + s.c.g * s.a, acc.b + s.c.b * s.a};
                        a += s.a;
                    }
                if (a <= 0) continue;
                double k = 1.0 / (n * n);
                Px& p = px_[size_t(j) * w_ + i];
                double sa = a * k;
                p.c = {acc.r * k + p.c.r * (1 - sa), acc.g * k + p.c.g * (1 - sa), acc.b * k + p.c.b * (1 - sa)};
                p.a = sa + p.a * (1 - sa);
            }
    }

    double alpha(int x, int y) const { return px_[size_t(y) * w_ + x].a; }
    uint8_t alpha8(int x, int y) const { return uint8_t(std::clamp(std::lround(alpha(x, y) * 255), 0L, 255L)); }
    // Straight (not premultiplied) colour, rounded to bytes.
    std::array<uint8_t, 3> rgb8(int x, int y) const {
        const Px& p = px_[size_t(y) * w_ + x];
        if (p.a <= 0) return {0, 0, 0};
        auto q = [&](double v) { return uint8_t(std::clamp(std::lround(v / p.a), 0L, 255L)); };
        return {q(p.c.r), q(p.c.g), q(p.c.b)};
    }

private:
    struct Px {
        Rgb c;
        double a;
    };
    int w_, h_;
    double zoom_;
    std::vector<Px> px_;
};

// ---- Pixel font: 3 x 5 cells, enough for values and "EURO". ----

const char* glyph(char ch) {
    switch (ch) {
        case '0': return "111101101101111";
        case '1': return "010110010010111";
        case '2': return "111001111100111";
        case '5': return "111100111001111";
        case 'E': return "111100110100111";
        case 'U': return "101101101101111";
        case 'R': return "110101110101101";
        case 'O': return "111101101101111";
        case 'C': return "111100100100111";
        case 'T': return "111010010010010";
        case 'N': return "101111111101101";
        default: return "000000000000000";
    }
}

// Is point (u, v) on the ink of `text` drawn from (u0, v0) with cell size s?
bool onText(const std::string& text, double u0, double v0, double s, double u, double v) {
    double cu = (u - u0) / s, cv = (v - v0) / s;
    if (cv < 0 || cv >= 5 || cu < 0) return false;
    int col = int(cu), idx = col / 4, cx = col % 4;
    if (idx >= int(text.size()) || cx == 3) return false;
    return glyph(text[idx])[int(cv) * 3 + cx] == '1';
}

double textWidth(const std::string& text, double s) { return (4.0 * text.size() - 1) * s; }

// ---- Banknotes ----

struct Note {
    std::string value;
    Rgb dark, light;
    double len, hgt;  // in pixels
};

// A note lying with its far end at the left, turned by `deg` (positive lifts
// the far end) about `pivot`, which sits `grip` pixels in from its right end
// on the centre line.
struct Placed {
    Note note;
    double px, py, deg, grip;
    double detail;  // 1 = full detail, 0 = icon-size simplification
};

template <class F>
void paintRotated(Canvas& cv, const Placed& p, F local) {
    double th = p.deg * kPi / 180, cs = std::cos(th), sn = std::sin(th);
    double reach = std::hypot(p.note.len, p.note.hgt) + 2;
    cv.paint(p.px - reach, p.py - reach, p.px + reach, p.py + reach, [&](double x, double y) {
        double dx = x - p.px, dy = y - p.py;
        // Inverse rotation; with screen y downwards a positive angle lifts
        // the far (left) end.
        double lx = dx * cs + dy * sn, ly = -dx * sn + dy * cs;
        double u = lx + (p.note.len - p.grip), v = ly + p.note.hgt / 2;
        return local(u, v);
    });
}

bool inRoundRect(double u, double v, double w, double h, double r) {
    if (u < 0 || v < 0 || u > w || v > h) return false;
    double cx = std::clamp(u, r, w - r), cy = std::clamp(v, r, h - r);
    return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= r * r;
}

void drawNoteShadow(Canvas& cv, Placed p) {
    const double drop = p.detail > 0 ? 1.0 : 0.3;
    p.px += 2 * drop;
    p.py += 3 * drop;
    paintRotated(cv, p, [&](double u, double v) {
        return Sample{kBlack, inRoundRect(u, v, p.note.len, p.note.hgt, 3) ? 0.18 : 0.0};
    });
}

Sample noteColour(const Placed& p, double u, double v) {
    const Note& n = p.note;
    double L = n.len, H = n.hgt;
    if (!inRoundRect(u, v, L, H, p.detail > 0 ? 3 : 1)) return {};
    Rgb ink = scale(n.dark, 0.72);
    // Outline keeps overlapping notes apart.
    double edge = std::min(std::min(u, L - u), std::min(v, H - v));
    if (edge < (p.detail > 0 ? 0.8 : 1.0)) return {scale(n.dark, 0.8), 1};

    // Ground: the light tint, a little deeper towards the middle.
    double t = 0.25 + 0.2 * std::sin(kPi * u / L) * std::sin(kPi * v / H);
    Rgb c = mix(n.light, n.dark, t);

    if (p.detail <= 0) {
        // At icon size only the coloured body and a darker window block.
        if (u > 0.3 * L && u < 0.6 * L && v > 0.3 * H && v < 0.85 * H) c = n.dark;
        return {c, 1};
    }

    // Printed frame just inside the edge.
    if (edge > 3 && edge < 4.2) c = mix(c, n.dark, 0.6);
    // Watermark field at the far end with a faint oval portrait.
    double wu = 0.13 * L, wv = 0.58 * H;
    if (u > 5 && u < 0.26 * L && v > 0.3 * H && v < H - 5) {
        c = mix(n.light, kWhite, 0.55);
        double ex = (u - wu) / (0.07 * L), ey = (v - wv) / (0.2 * H);
        if (ex * ex + ey * ey < 1) c = mix(c, n.light, 0.6);
    }
    // The architectural window: an arch in the dark tone with a light opening
    // split by a mullion.
    double a0 = 0.34 * L, a1 = 0.62 * L, am = (a0 + a1) / 2, ar = (a1 - a0) / 2;
    double top = 0.38 * H, bottom = 0.9 * H;
    auto inArch = [&](double inset) {
        double l = a0 + inset, r = a1 - inset, rr = ar - inset, tt = top + inset;
        if (u < l || u > r || v > bottom - inset * 0.5) return false;
        if (v >= tt) return true;
        double dx = u - am, dy = v - tt;
        return dx * dx + dy * dy <= rr * rr;
    };
    if (inArch(0)) {
        c = n.dark;
        if (inArch(0.045 * L)) {
            c = mix(n.light, kWhite, 0.35);
            if (std::fabs(u - am) < 0.8 || std::fabs(v - (top + 0.18 * H)) < 0.6) c = n.dark;
        }
    }
    // Rays behind the window, as on the printed notes.
    double rx = u - am, ry = v - top;
    if (!inArch(0) && ry < 0 && rx * rx + ry * ry < (ar * 2.2) * (ar * 2.2) && v > 0.18 * H) {
        double ang = std::atan2(ry, rx);
        if (std::fmod(ang + 4 * kPi, kPi / 9) < kPi / 40) c = mix(c, n.dark, 0.35);
    }
    // Hologram: a stripe on the low notes, a patch on the high ones.
    bool stripe = n.value == "10" || n.value == "20";
    double fu = 0.84 * L;
    bool foil = stripe ? std::fabs(u - fu) < 0.035 * L
                       : ((u - fu) * (u - fu) / (0.06 * L * 0.06 * L) + (v - 0.68 * H) * (v - 0.68 * H) / (0.17 * H * 0.17 * H)) < 1;
    if (foil) {
        double shimmer = 0.5 + 0.5 * std::sin((u * 0.9 + v * 0.6));
        c = mix(rgb(0xC8CCD4), rgb(0xF2F4F8), shimmer);
    }
    // Value in the top left corner, large, and "EURO" along the top.
    if (onText(n.value, 6, 5, 3, u, v)) c = ink;
    if (onText("EURO", 0.36 * L, 0.1 * H, 0.033 * H, u, v)) c = ink;
    // Value again, smaller, at the bottom of the far end.
    if (onText(n.value, 6, H - 6 - 5 * 1.6, 1.6, u, v)) c = ink;
    return {c, 1};
}

void drawNote(Canvas& cv, const Placed& p) {
    drawNoteShadow(cv, p);
    paintRotated(cv, p, [&](double u, double v) { return noteColour(p, u, v); });
}

// ---- Coins ----

enum class Metal { Copper, NordicGold, OneEuro, TwoEuro };

struct Coin {
    double x, y, r;
    Metal metal;
    std::string value;
    double detail;
};

const Rgb kCopper = rgb(0xB8693A);
const Rgb kGold = rgb(0xD9B446);
const Rgb kSilver = rgb(0xC4C6C8);

Sample coinColour(const Coin& k, double x, double y) {
    double dx = x - k.x, dy = y - k.y, d = std::hypot(dx, dy) / k.r;
    if (d > 1) return {};
    Rgb ring, core;
    double split = 0.66;
    switch (k.metal) {
        case Metal::Copper: ring = core = kCopper; break;
        case Metal::NordicGold: ring = core = kGold; break;
        case Metal::OneEuro: ring = kGold; core = kSilver; break;
        case Metal::TwoEuro: ring = kSilver; core = kGold; break;
    }
    Rgb base = d < split ? core : ring;
    // Light from the top left: a linear sheen across the face...
    double sheen = -(dx + dy) / (k.r * 2.83);  // -0.5 .. 0.5
    Rgb c = scale(base, 1.0 + 0.28 * sheen);
    double rim = k.detail > 0 ? 0.86 : 0.8;
    if (d > rim) {
        // ...and a raised rim, bright where it faces the light.
        double facing = -(dx + dy) / (std::hypot(dx, dy) * 1.414 + 1e-9);
        c = scale(base, 1.0 + 0.35 * facing);
    } else if (d > rim - 0.05 && k.detail > 0) {
        c = scale(base, 0.75);
    }
    if (k.metal == Metal::OneEuro || k.metal == Metal::TwoEuro) {
        if (std::fabs(d - split) < (k.detail > 0 ? 0.02 : 0.04)) c = scale(c, 0.75);
    }
    if (k.detail > 0) {
        // Twelve stars as small dots, the value struck in the middle.
        if (d > rim - 0.17 && d < rim - 0.07) {
            double ang = std::atan2(dy, dx) + kPi / 2;
            double step = 2 * kPi / 12;
            double off = std::fmod(ang + 8 * kPi, step) - step / 2;
            double along = off * d * k.r;
            if (std::fabs(along) < 1.0) c = scale(c, 0.72);
        }
        double s = k.r > 24 ? 3 : 2.2;
        double u0 = k.x - textWidth(k.value, s) / 2, v0 = k.y - 2.5 * s - s * 0.6;
        // Struck figures: dark ink with a light edge below and to the right.
        if (onText(k.value, u0, v0, s, x, y)) c = scale(base, 0.62);
        else if (onText(k.value, u0, v0, s, x - 0.8, y - 0.8)) c = scale(base, 1.3);
        bool euro = k.metal == Metal::OneEuro || k.metal == Metal::TwoEuro;
        const std::string word = euro ? "EURO" : "CENT";
        double ws = 1.0;
        double wu = k.x - textWidth(word, ws) / 2, wv = k.y + 2.5 * s + 1.5;
        if (k.r > 19 && onText(word, wu, wv, ws, x, y)) c = scale(base, 0.62);
    }
    c = {std::min(c.r, 255.0), std::min(c.g, 255.0), std::min(c.b, 255.0)};
    return {c, 1};
}

void drawCoin(Canvas& cv, const Coin& k) {
    double sh = k.detail > 0 ? 2.5 : 0.8;
    cv.paint(k.x - k.r, k.y - k.r, k.x + k.r + 2 * sh, k.y + k.r + 2 * sh, [&](double x, double y) {
        double d = std::hypot(x - k.x - sh, y - k.y - sh);
        double a = std::clamp((k.r + 1 - d) / 2.5, 0.0, 1.0) * 0.28;
        return Sample{kBlack, a};
    });
    cv.paint(k.x - k.r - 1, k.y - k.r - 1, k.x + k.r + 1, k.y + k.r + 1,
             [&](double x, double y) { return coinColour(k, x, y); });
}

// ---- The pictures ----

const Note kNotes[] = {
    {"500", rgb(0x8A4C96), rgb(0xD9C3DC), 192, 98},
    {"200", rgb(0xB58A34), rgb(0xEBDAA8), 186, 96},
    {"100", rgb(0x3E8F55), rgb(0xBFDDBF), 180, 94},
    {"50", rgb(0xE07A24), rgb(0xF6CFA0), 173, 90},
    {"20", rgb(0x3C64B4), rgb(0xBFD0EC), 166, 86},
    {"10", rgb(0xB85A5E), rgb(0xE8C4C2), 159, 83},
};

Canvas moneyPicture(double zoom = 1) {
    Canvas cv(281, 290, kWhite, 1, zoom);
    // Fanned like a hand of cards, held at the right; the 500 lies at the back.
    const double pivotX = 190, pivotY = 154;
    const double angles[] = {40, 25, 10, -5, -20, -35};
    for (int i = 0; i < 6; ++i) drawNote(cv, {kNotes[i], pivotX, pivotY, angles[i], 24, 1});
    const Coin coins[] = {
        {210, 33, 27, Metal::TwoEuro, "2", 1},      {254, 64, 25, Metal::OneEuro, "1", 1},
        {212, 100, 25, Metal::NordicGold, "50", 1}, {255, 134, 23, Metal::NordicGold, "20", 1},
        {214, 166, 21, Metal::NordicGold, "10", 1}, {255, 200, 22, Metal::Copper, "5", 1},
        {218, 230, 19, Metal::Copper, "2", 1},      {254, 261, 17, Metal::Copper, "1", 1},
    };
    for (const Coin& k : coins) drawCoin(cv, k);
    return cv;
}

Canvas iconPicture(double zoom = 1) {
    Canvas cv(32, 32, kBlack, 0, zoom);
    const Note small[] = {
        {"", kNotes[3].dark, kNotes[3].light, 22, 12},
        {"", kNotes[4].dark, kNotes[4].light, 21, 11.5},
        {"", kNotes[5].dark, kNotes[5].light, 20, 11},
    };
    const double angles[] = {36, 16, -4};
    for (int i = 0; i < 3; ++i) drawNote(cv, {small[i], 21, 17, angles[i], 3, 0});
    drawCoin(cv, {23.5, 23.5, 7.6, Metal::TwoEuro, "", 0});
    drawCoin(cv, {10, 26, 5.2, Metal::Copper, "", 0});
    return cv;
}

Canvas germanFlag(double zoom = 1) {
    Canvas cv(33, 21, kBlack, 1, zoom);
    const Rgb stripes[] = {rgb(0x000000), rgb(0xDD0000), rgb(0xFFCE00)};
    cv.paint(0, 0, 33, 21, [&](double, double y) { return Sample{stripes[std::min(2, int(y / 7))], 1}; });
    return cv;
}

bool inStar(double x, double y, double cx, double cy, double r) {
    // Five-pointed star, one point straight up: even-odd test on its outline.
    double vx[10], vy[10];
    for (int i = 0; i < 10; ++i) {
        double rr = i % 2 ? r * 0.382 : r, a = -kPi / 2 + i * kPi / 5;
        vx[i] = cx + rr * std::cos(a);
        vy[i] = cy + rr * std::sin(a);
    }
    bool in = false;
    for (int i = 0, j = 9; i < 10; j = i++)
        if ((vy[i] > y) != (vy[j] > y) && x < (vx[j] - vx[i]) * (y - vy[i]) / (vy[j] - vy[i]) + vx[i]) in = !in;
    return in;
}

Canvas europeanFlag(double zoom = 1) {
    Canvas cv(33, 21, rgb(0x003399), 1, zoom);
    // At 21 pixels a ring of radius 8 puts all twelve stars on pixel centres
    // (offsets 0, 4, 7, 8), so each reads as one clear gold point.
    const int off[12][2] = {{0, -8}, {4, -7}, {7, -4}, {8, 0}, {7, 4}, {4, 7},
                            {0, 8},  {-4, 7}, {-7, 4}, {-8, 0}, {-7, -4}, {-4, -7}};
    for (const auto& o : off) {
        double cx = 16.5 + o[0], cy = 10.5 + o[1];
        cv.paint(cx - 2, cy - 2, cx + 2, cy + 2,
                 [&](double x, double y) { return Sample{rgb(0xFFCC00), inStar(x, y, cx, cy, 1.75) ? 1.0 : 0.0}; }, 8);
    }
    return cv;
}

// ---- File formats ----

class Bytes {
public:
    void u8(unsigned v) { b_.push_back(uint8_t(v)); }
    void u16(unsigned v) { u8(v & 255), u8(v >> 8 & 255); }
    void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void s32(int32_t v) { u32(uint32_t(v)); }
    std::vector<uint8_t>& data() { return b_; }

private:
    std::vector<uint8_t> b_;
};

void infoHeader(Bytes& out, int w, int h, int bits, uint32_t imageSize, int colours) {
    out.u32(40);
    out.s32(w);
    out.s32(h);
    out.u16(1);
    out.u16(bits);
    out.u32(0);  // BI_RGB
    out.u32(imageSize);
    out.s32(2835);  // 72 dpi
    out.s32(2835);
    out.u32(colours);
    out.u32(0);
}

std::vector<uint8_t> encodeBmp24(const Canvas& cv) {
    int w = cv.width(), h = cv.height(), stride = (w * 3 + 3) & ~3;
    uint32_t image = uint32_t(stride) * h;
    Bytes out;
    out.u8('B'), out.u8('M');
    out.u32(14 + 40 + image);
    out.u32(0);
    out.u32(14 + 40);
    infoHeader(out, w, h, 24, image, 0);
    for (int y = h - 1; y >= 0; --y) {  // bottom-up
        for (int x = 0; x < w; ++x) {
            auto c = cv.rgb8(x, y);
            out.u8(c[2]), out.u8(c[1]), out.u8(c[0]);
        }
        for (int pad = w * 3; pad < stride; ++pad) out.u8(0);
    }
    return out.data();
}

using Colour = std::array<uint8_t, 3>;

// Median cut: split the box with the widest channel range at its median until
// there are `limit` boxes; each box's mean becomes a palette entry.
std::vector<Colour> medianCut(std::vector<Colour> colours, size_t limit) {
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    if (colours.size() <= limit) return colours;
    struct Box {
        size_t lo, hi;
    };
    std::vector<Box> boxes{{0, colours.size()}};
    auto widest = [&](const Box& b, int& ch) {
        int best = -1;
        for (int c = 0; c < 3; ++c) {
            auto [mn, mx] = std::minmax_element(colours.begin() + b.lo, colours.begin() + b.hi,
                                                [c](const Colour& a, const Colour& d) { return a[c] < d[c]; });
            int range = (*mx)[c] - (*mn)[c];
            if (range > best) best = range, ch = c;
        }
        return best;
    };
    while (boxes.size() < limit) {
        size_t pick = 0;
        int pickCh = 0, pickRange = -1;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int ch = 0, r = boxes[i].hi - boxes[i].lo > 1 ? widest(boxes[i], ch) : -1;
            if (r > pickRange) pickRange = r, pick = i, pickCh = ch;
        }
        if (pickRange <= 0) break;
        Box b = boxes[pick];
        std::stable_sort(colours.begin() + b.lo, colours.begin() + b.hi,
                         [pickCh](const Colour& a, const Colour& d) { return a[pickCh] < d[pickCh]; });
        size_t mid = (b.lo + b.hi) / 2;
        boxes[pick] = {b.lo, mid};
        boxes.push_back({mid, b.hi});
    }
    std::vector<Colour> palette;
    for (const Box& b : boxes) {
        unsigned sum[3] = {0, 0, 0};
        for (size_t i = b.lo; i < b.hi; ++i)
            for (int c = 0; c < 3; ++c) sum[c] += colours[i][c];
        unsigned n = unsigned(b.hi - b.lo);
        palette.push_back({uint8_t((sum[0] + n / 2) / n), uint8_t((sum[1] + n / 2) / n), uint8_t((sum[2] + n / 2) / n)});
    }
    return palette;
}

// One 8-bit image with a 1-bit mask. A pixel is opaque where the drawing
// covers at least half of it; 8-bit icons cannot blend their edges.
std::vector<uint8_t> encodeIco8(const Canvas& cv) {
    const int w = cv.width(), h = cv.height();
    auto opaque = [&](int x, int y) { return cv.alpha(x, y) >= 0.5; };
    std::vector<Colour> used;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (opaque(x, y)) used.push_back(cv.rgb8(x, y));
    // Entry 0 stays black: the colour behind transparent pixels.
    std::vector<Colour> palette{{0, 0, 0}};
    for (const Colour& c : medianCut(used, 255)) palette.push_back(c);
    palette.resize(256, {0, 0, 0});
    auto nearest = [&](const Colour& c) {
        int best = 1, bestD = 1 << 30;
        for (int i = 1; i < 256; ++i) {
            int d = 0;
            for (int k = 0; k < 3; ++k) d += (c[k] - palette[i][k]) * (c[k] - palette[i][k]);
            if (d < bestD) bestD = d, best = i;
        }
        return best;
    };
    const int xorStride = (w + 3) & ~3, andStride = ((w + 31) / 32) * 4;
    const uint32_t imageBytes = 40 + 256 * 4 + xorStride * h + andStride * h;
    Bytes out;
    out.u16(0), out.u16(1), out.u16(1);  // ICONDIR: reserved, type icon, one image
    out.u8(w), out.u8(h), out.u8(0), out.u8(0);  // 256 colours are written as 0
    out.u16(1), out.u16(8);
    out.u32(imageBytes);
    out.u32(6 + 16);
    infoHeader(out, w, 2 * h, 8, xorStride * h + andStride * h, 256);  // height covers XOR and AND
    for (const Colour& c : palette) out.u8(c[2]), out.u8(c[1]), out.u8(c[0]), out.u8(0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) out.u8(opaque(x, y) ? nearest(cv.rgb8(x, y)) : 0);
        for (int pad = w; pad < xorStride; ++pad) out.u8(0);
    }
    for (int y = h - 1; y >= 0; --y)
        for (int byte = 0; byte < andStride; ++byte) {
            unsigned bits = 0;
            for (int b = 0; b < 8; ++b) {
                int x = byte * 8 + b;
                if (x >= w || !opaque(x, y)) bits |= 0x80u >> b;  // 1 = transparent
            }
            out.u8(bits);
        }
    return out.data();
}

// A picture set: each canvas as BGR rows, or BGRA with straight alpha.
std::vector<uint8_t> encodeSet(const std::vector<Canvas>& canvases, bool alpha) {
    Bytes out;
    out.u8('V'), out.u8('P'), out.u8('S'), out.u8('1');
    out.u16(unsigned(canvases.size()));
    for (const Canvas& cv : canvases) out.u16(cv.width()), out.u16(cv.height()), out.u8(alpha ? 4 : 3), out.u8(0);
    for (const Canvas& cv : canvases)
        for (int y = 0; y < cv.height(); ++y)
            for (int x = 0; x < cv.width(); ++x) {
                auto c = cv.rgb8(x, y);
                out.u8(c[2]), out.u8(c[1]), out.u8(c[0]);
                if (alpha) out.u8(cv.alpha8(x, y));
            }
    return out.data();
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = writeFile(dir + "money.bmp", encodeBmp24(moneyPicture()));
    ok = writeFile(dir + "flag_de.bmp", encodeBmp24(germanFlag())) && ok;
    ok = writeFile(dir + "flag_eu.bmp", encodeBmp24(europeanFlag())) && ok;
    ok = writeFile(dir + "money.ico", encodeIco8(iconPicture())) && ok;

    // At 125, 150 and 200 %. The banknotes only at 200 %: the runtime brings
    // them down to the smaller sizes, which all three would not fit the
    // program's size for.
    ok = writeFile(dir + "money.vps", encodeSet({moneyPicture(2)}, false)) && ok;
    ok = writeFile(dir + "flag_de.vps", encodeSet({germanFlag(1.25), germanFlag(1.5), germanFlag(2)}, false)) && ok;
    ok = writeFile(dir + "flag_eu.vps",
                   encodeSet({europeanFlag(1.25), europeanFlag(1.5), europeanFlag(2)}, false)) && ok;
    // The icon at the sizes of small and large window icons at those scales.
    std::vector<Canvas> icons;
    for (int size : {20, 24, 32, 40, 48, 64}) icons.push_back(iconPicture(size / 32.0));
    ok = writeFile(dir + "money_icon.vps", encodeSet(icons, true)) && ok;
    return ok ? 0 : 1;
}
