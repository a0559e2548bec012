// makeicon SHAREDIR
//
// Build-time generator for the launcher icon: a fan of two card backs, blue and red, behind a
// cream front card with a bold red C, on a rounded square of green baize. The drawing is
// described once, on a 256-unit square, and that one description is rendered twice: by QPainter
// into a PNG for every standard size, and as SVG text for the scalable icon. Both come from the
// same shapes, so the launcher shows the same picture at every size.
//
// Small sizes get their own cut of the drawing: at 16 to 24 pixels a lattice, a shadow and
// three pips would blur into grey, so the front card grows, the C thickens and the details go.
//
// Files written, for the theme's standard layout:
//   SHAREDIR/icons/hicolor/NxN/apps/io.github.cardovia.Cardovia.png   (N = 16 ... 512)
//   SHAREDIR/icons/hicolor/scalable/apps/io.github.cardovia.Cardovia.svg

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <sstream>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

namespace cardovia::makeicon {

namespace fs = std::filesystem;

inline constexpr const char* kIconName = "io.github.cardovia.Cardovia";
inline constexpr double kDesignSize = 256.0;
inline constexpr std::array<int, 9> kPixelSizes = {16, 22, 24, 32, 48, 64, 128, 256, 512};
// Up to this size the small cut of the drawing is used.
inline constexpr int kLargestSmallCut = 24;

// ---------------------------------------------------------------------------------------------
// What a shape is painted with

struct Radial {
    QPointF centre;
    double radius;
    QColor inner;
    QColor outer;
};
using Fill = std::variant<std::monostate, QColor, Radial>;

struct Style {
    Fill fill;
    QColor stroke = Qt::transparent;
    double strokeWidth = 0.0;
    bool roundCap = false;
};

// Where the shapes of a group go: turned by `angle` degrees clockwise about `pivot`, and, when
// `clip` is not empty, cut to that rectangle (given before turning).
struct Group {
    double angle = 0.0;
    QPointF pivot;
    QRectF clip;
};

// The few primitives the icon is made of; each back end renders them its own way.
class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void roundRect(const QRectF& rect, double radius, const Style& style) = 0;
    virtual void polygon(const std::vector<QPointF>& points, const Style& style) = 0;
    // An open arc of a circle, from startDegrees turning spanDegrees anticlockwise.
    virtual void arc(QPointF centre, double radius, double startDegrees, double spanDegrees,
                     const Style& style) = 0;
    virtual void line(QPointF from, QPointF to, const Style& style) = 0;
    virtual void beginGroup(const Group& group) = 0;
    virtual void endGroup() = 0;
};

// ---------------------------------------------------------------------------------------------
// The drawing

enum class Cut { Small, Full };

Cut cutFor(int pixels) {
    return pixels <= kLargestSmallCut ? Cut::Small : Cut::Full;
}

const QColor kBaizeLight(0x35, 0x9a, 0x5e);
const QColor kBaizeDark(0x0f, 0x4d, 0x2b);
const QColor kBaizeEdge(0x0a, 0x33, 0x1d);
const QColor kBackBlue(0x1d, 0x3f, 0x8f);
const QColor kBackRed(0x9b, 0x1b, 0x30);
const QColor kCardFace(0xfd, 0xfb, 0xf5);
const QColor kCardEdge(0x55, 0x55, 0x55);
const QColor kPipRed(0xc3, 0x17, 0x2c);
const QColor kShadow(0, 0, 0, 70);

// The proportions of each cut, in design units.
struct Layout {
    QSizeF back;   // a card of the fan
    QSizeF front;  // the front card
    QPointF frontCentre;
    QPointF fanPivot;  // the backs turn about this point below the cards
    double fanAngle;   // each back is turned this far from upright
    double cardCorner;
    double edgeWidth;   // the card outline; wide enough to part the cards at the smallest size
    double ringRadius;  // the C
    double ringWidth;
    bool details;  // lattice, shadows and pips
};

Layout layoutFor(Cut cut) {
    if (cut == Cut::Small) {
        return {QSizeF(120, 168),
                QSizeF(150, 200),
                QPointF(128, 132),
                QPointF(128, 250),
                24.0,
                14.0,
                10.0,
                44.0,
                34.0,
                false};
    }
    return {QSizeF(104, 144),
            QSizeF(118, 160),
            QPointF(128, 136),
            QPointF(128, 236),
            24.0,
            10.0,
            3.0,
            34.0,
            24.0,
            true};
}

void drawBaize(Canvas& canvas) {
    const Radial felt{QPointF(128, 108), 192, kBaizeLight, kBaizeDark};
    canvas.roundRect(QRectF(6, 6, 244, 244), 42, {felt, kBaizeEdge, 4.0});
}

void drawCardShape(Canvas& canvas, const QRectF& card, const Layout& layout, const QColor& face) {
    if (layout.details) {
        canvas.roundRect(card.translated(3, 4), layout.cardCorner, {kShadow});
    }
    canvas.roundRect(card, layout.cardCorner, {face, kCardEdge, layout.edgeWidth});
}

// A back: a coloured panel inside a white margin, with a lighter lattice when there is room.
void drawBack(Canvas& canvas, const QRectF& card, const Layout& layout, const QColor& colour) {
    drawCardShape(canvas, card, layout, kCardFace);
    const double margin = layout.details ? 8.0 : 12.0;
    const QRectF panel = card.adjusted(margin, margin, -margin, -margin);
    canvas.roundRect(panel, layout.cardCorner / 2, {colour});
    if (!layout.details) return;
    canvas.beginGroup({0.0, QPointF(), panel});
    const Style thread{{}, colour.lighter(150), 2.0};
    constexpr double kStep = 14.0;
    for (double d = -panel.height(); d < panel.width(); d += kStep) {
        canvas.line(QPointF(panel.left() + d, panel.top()),
                    QPointF(panel.left() + d + panel.height(), panel.bottom()), thread);
        canvas.line(QPointF(panel.left() + d + panel.height(), panel.top()),
                    QPointF(panel.left() + d, panel.bottom()), thread);
    }
    canvas.endGroup();
}

void drawDiamond(Canvas& canvas, QPointF centre, double half) {
    canvas.polygon({centre + QPointF(0, -half), centre + QPointF(half * 0.72, 0),
                    centre + QPointF(0, half), centre + QPointF(-half * 0.72, 0)},
                   {kPipRed});
}

// The front card: the C as an open ring, with a diamond in its middle and in two corners.
void drawFront(Canvas& canvas, const QRectF& card, const Layout& layout) {
    drawCardShape(canvas, card, layout, kCardFace);
    canvas.arc(card.center(), layout.ringRadius, 48, 264, {{}, kPipRed, layout.ringWidth, true});
    if (!layout.details) return;
    drawDiamond(canvas, card.center(), 11);
    constexpr double kPip = 8.0;
    drawDiamond(canvas, card.topLeft() + QPointF(kPip * 1.7, kPip * 2.0), kPip);
    drawDiamond(canvas, card.bottomRight() - QPointF(kPip * 1.7, kPip * 2.0), kPip);
}

void drawIcon(Canvas& canvas, Cut cut) {
    const Layout layout = layoutFor(cut);
    drawBaize(canvas);
    // The backs stand where the front card stands, then turn out about the pivot below.
    const QRectF back(layout.frontCentre.x() - layout.back.width() / 2,
                      layout.frontCentre.y() - layout.back.height() / 2 - 6, layout.back.width(),
                      layout.back.height());
    const std::array<std::pair<double, QColor>, 2> fan = {std::pair{-layout.fanAngle, kBackBlue},
                                                          std::pair{layout.fanAngle, kBackRed}};
    for (const auto& [angle, colour] : fan) {
        canvas.beginGroup({angle, layout.fanPivot, QRectF()});
        drawBack(canvas, back, layout, colour);
        canvas.endGroup();
    }
    const QRectF front(layout.frontCentre.x() - layout.front.width() / 2,
                       layout.frontCentre.y() - layout.front.height() / 2, layout.front.width(),
                       layout.front.height());
    drawFront(canvas, front, layout);
}

// ---------------------------------------------------------------------------------------------
// Rendering with QPainter

class PainterCanvas : public Canvas {
  public:
    explicit PainterCanvas(QPainter& painter) : painter_(painter) {}

    void roundRect(const QRectF& rect, double radius, const Style& style) override {
        apply(style);
        painter_.drawRoundedRect(rect, radius, radius);
    }
    void polygon(const std::vector<QPointF>& points, const Style& style) override {
        apply(style);
        painter_.drawPolygon(points.data(), static_cast<int>(points.size()));
    }
    void arc(QPointF centre, double radius, double startDegrees, double spanDegrees,
             const Style& style) override {
        const QRectF ring(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2);
        QPainterPath path;
        path.arcMoveTo(ring, startDegrees);
        path.arcTo(ring, startDegrees, spanDegrees);
        apply(style);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(path);
    }
    void line(QPointF from, QPointF to, const Style& style) override {
        apply(style);
        painter_.drawLine(from, to);
    }
    void beginGroup(const Group& group) override {
        painter_.save();
        painter_.translate(group.pivot);
        painter_.rotate(group.angle);
        painter_.translate(-group.pivot);
        if (!group.clip.isEmpty()) painter_.setClipRect(group.clip, Qt::IntersectClip);
    }
    void endGroup() override { painter_.restore(); }

  private:
    void apply(const Style& style) {
        if (style.strokeWidth > 0.0) {
            painter_.setPen(QPen(style.stroke, style.strokeWidth, Qt::SolidLine,
                                 style.roundCap ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin));
        } else {
            painter_.setPen(Qt::NoPen);
        }
        if (const auto* colour = std::get_if<QColor>(&style.fill)) {
            painter_.setBrush(*colour);
        } else if (const auto* radial = std::get_if<Radial>(&style.fill)) {
            QRadialGradient gradient(radial->centre, radial->radius);
            gradient.setColorAt(0.0, radial->inner);
            gradient.setColorAt(1.0, radial->outer);
            painter_.setBrush(gradient);
        } else {
            painter_.setBrush(Qt::NoBrush);
        }
    }

    QPainter& painter_;
};

QImage renderPng(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / kDesignSize, pixels / kDesignSize);
    PainterCanvas canvas(painter);
    drawIcon(canvas, cutFor(pixels));
    painter.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Writing SVG

std::string number(double value) {
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(2);
    out << (std::abs(value) < 0.005 ? 0.0 : value);
    std::string text = out.str();
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string hex(const QColor& colour) {
    return colour.name(QColor::HexRgb).toStdString();
}

class SvgCanvas : public Canvas {
  public:
    void roundRect(const QRectF& rect, double radius, const Style& style) override {
        body_ << indent() << "<rect x=\"" << number(rect.x()) << "\" y=\"" << number(rect.y())
              << "\" width=\"" << number(rect.width()) << "\" height=\"" << number(rect.height())
              << "\" rx=\"" << number(radius) << "\"" << paint(style) << "/>\n";
    }
    void polygon(const std::vector<QPointF>& points, const Style& style) override {
        body_ << indent() << "<polygon points=\"";
        for (std::size_t i = 0; i < points.size(); ++i) {
            body_ << (i ? " " : "") << number(points[i].x()) << ',' << number(points[i].y());
        }
        body_ << "\"" << paint(style) << "/>\n";
    }
    void arc(QPointF centre, double radius, double startDegrees, double spanDegrees,
             const Style& style) override {
        // Angles run anticlockwise from three o'clock with y pointing down the screen, so the
        // arc is drawn with SVG's sweep flag off.
        const auto at = [&](double degrees) {
            const double r = degrees * std::numbers::pi / 180.0;
            return QPointF(centre.x() + radius * std::cos(r), centre.y() - radius * std::sin(r));
        };
        const QPointF from = at(startDegrees);
        const QPointF to = at(startDegrees + spanDegrees);
        body_ << indent() << "<path d=\"M" << number(from.x()) << ' ' << number(from.y()) << " A"
              << number(radius) << ' ' << number(radius) << " 0 "
              << (std::abs(spanDegrees) > 180 ? 1 : 0) << ' ' << (spanDegrees > 0 ? 0 : 1) << ' '
              << number(to.x()) << ' ' << number(to.y()) << "\"" << paint(style) << "/>\n";
    }
    void line(QPointF from, QPointF to, const Style& style) override {
        body_ << indent() << "<line x1=\"" << number(from.x()) << "\" y1=\"" << number(from.y())
              << "\" x2=\"" << number(to.x()) << "\" y2=\"" << number(to.y()) << "\""
              << paint(style) << "/>\n";
    }
    void beginGroup(const Group& group) override {
        body_ << indent() << "<g";
        if (group.angle != 0.0) {
            body_ << " transform=\"rotate(" << number(group.angle) << ' ' << number(group.pivot.x())
                  << ' ' << number(group.pivot.y()) << ")\"";
        }
        if (!group.clip.isEmpty()) {
            const std::string id = "clip" + std::to_string(++clips_);
            defs_ << "    <clipPath id=\"" << id << "\"><rect x=\"" << number(group.clip.x())
                  << "\" y=\"" << number(group.clip.y()) << "\" width=\""
                  << number(group.clip.width()) << "\" height=\"" << number(group.clip.height())
                  << "\"/></clipPath>\n";
            body_ << " clip-path=\"url(#" << id << ")\"";
        }
        body_ << ">\n";
        ++depth_;
    }
    void endGroup() override {
        --depth_;
        body_ << indent() << "</g>\n";
    }

    std::string document() const {
        std::ostringstream out;
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
               "viewBox=\"0 0 256 256\">\n"
            << "  <title>Cardovia</title>\n"
            << "  <defs>\n"
            << defs_.str() << "  </defs>\n"
            << body_.str() << "</svg>\n";
        return out.str();
    }

  private:
    std::string indent() const { return std::string(2 * depth_, ' '); }

    std::string paint(const Style& style) {
        std::ostringstream out;
        if (const auto* colour = std::get_if<QColor>(&style.fill)) {
            out << " fill=\"" << hex(*colour) << "\"";
            if (colour->alpha() != 255)
                out << " fill-opacity=\"" << number(colour->alphaF()) << "\"";
        } else if (const auto* radial = std::get_if<Radial>(&style.fill)) {
            const std::string id = "felt" + std::to_string(++gradients_);
            defs_ << "    <radialGradient id=\"" << id
                  << "\" gradientUnits=\"userSpaceOnUse\" cx=\"" << number(radial->centre.x())
                  << "\" cy=\"" << number(radial->centre.y()) << "\" r=\"" << number(radial->radius)
                  << "\">"
                  << "<stop offset=\"0\" stop-color=\"" << hex(radial->inner) << "\"/>"
                  << "<stop offset=\"1\" stop-color=\"" << hex(radial->outer) << "\"/>"
                  << "</radialGradient>\n";
            out << " fill=\"url(#" << id << ")\"";
        } else {
            out << " fill=\"none\"";
        }
        if (style.strokeWidth > 0.0) {
            out << " stroke=\"" << hex(style.stroke) << "\" stroke-width=\""
                << number(style.strokeWidth) << "\" stroke-linejoin=\"round\"";
            if (style.roundCap) out << " stroke-linecap=\"round\"";
        }
        return out.str();
    }

    std::ostringstream defs_;
    std::ostringstream body_;
    int depth_ = 1;
    int clips_ = 0;
    int gradients_ = 0;
};

std::string renderSvg() {
    SvgCanvas canvas;
    drawIcon(canvas, Cut::Full);
    return canvas.document();
}

// ---------------------------------------------------------------------------------------------
// Writing the theme's files

fs::path pngPath(const fs::path& shareDir, int pixels) {
    const std::string size = std::to_string(pixels) + "x" + std::to_string(pixels);
    return shareDir / "icons/hicolor" / size / "apps" / (std::string(kIconName) + ".png");
}

fs::path svgPath(const fs::path& shareDir) {
    return shareDir / "icons/hicolor/scalable/apps" / (std::string(kIconName) + ".svg");
}

bool writeAllIcons(const fs::path& shareDir) {
    std::error_code ec;
    for (int pixels : kPixelSizes) {
        const fs::path path = pngPath(shareDir, pixels);
        fs::create_directories(path.parent_path(), ec);
        if (!renderPng(pixels).save(QString::fromStdString(path.string()), "PNG")) {
            std::cerr << "makeicon: cannot write " << path << '\n';
            return false;
        }
    }
    const fs::path svg = svgPath(shareDir);
    fs::create_directories(svg.parent_path(), ec);
    std::ofstream out(svg, std::ios::binary | std::ios::trunc);
    out << renderSvg();
    out.close();
    if (!out) {
        std::cerr << "makeicon: cannot write " << svg << '\n';
        return false;
    }
    return true;
}

int run(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: makeicon SHAREDIR\n";
        return 2;
    }
    return writeAllIcons(argv[1]) ? 0 : 1;
}

}  // namespace cardovia::makeicon

#ifndef MAKEICON_NO_MAIN
int main(int argc, char** argv) {
    return cardovia::makeicon::run(argc, argv);
}
#endif
