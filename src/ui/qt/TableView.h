#pragma once
// The table: a scene measured in twips, scaled to the window so the whole table
// grows and shrinks with it.

#include <QGraphicsView>

class QGraphicsPathItem;
class QPainterPath;

#include <cstdint>
#include <vector>

#include "ui/Form.h"
#include "ui/Platform.h"
#include "ui/qt/Glide.h"

namespace cardovia::qt {

class ControlItem;

class TableView : public QGraphicsView {
  public:
    explicit TableView(TableForm& form, QWidget* parent = nullptr);
    // Brings every item up to date with its control.
    void Sync();
    TableForm& form() const { return form_; }
    // Counts the syncs, so words made for a screen reader know when they are old.
    std::uint64_t syncs() const { return syncs_; }
    // The last pointer position seen over the table, in twips.
    PointTwips Pointer() const { return pointer_; }
    // Where a point of the table lies in the viewport, for tests that click cards.
    QPoint ViewportPointOf(int leftTwips, int topTwips) const;
    // Where a control stands on the table, inside the panels that hold it.
    static QRectF SceneRectOf(const Control& control);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void Track(const QPoint& viewportPos);
    void PlaceRing();
    QPainterPath RingPath();
    TableForm& form_;
    // The cards' glides. The scene, and its items with it, is deleted after it,
    // when nothing glides any more.
    Glider glider_;
    std::vector<ControlItem*> items_;
    PointTwips pointer_;
    std::uint64_t syncs_ = 0;
    // The keyboard's focus ring, round the part of its object that shows: a
    // card of the hand is ringed as the strip its neighbour leaves uncovered,
    // not as the three cards the strip overlaps. It is carried by the item of
    // its object, above it.
    QGraphicsPathItem* ring_ = nullptr;
    // What the ring was drawn for: its item, the places of the objects with the
    // ring, then of the cards and panels in front that overlap them. The ring
    // is drawn anew only when these change. The vectors keep their room
    // between calls.
    ControlItem* ringHolder_ = nullptr;
    std::size_t ringObjects_ = 0;
    std::vector<QRectF> ringFor_, ringNext_;
    std::vector<QRectF> ringPieces_, ringKept_;
};

}  // namespace cardovia::qt
