#pragma once
// Scene items that mirror the form's controls. Each item keeps a pointer to its
// control and copies what it last showed; Sync() brings it up to date.

#include <QGraphicsItem>
#include <QGraphicsProxyWidget>
#include <QLineEdit>

#include "ui/Form.h"

namespace cardovia::qt {

class Glider;

class ControlItem : public QGraphicsItem {
  public:
    explicit ControlItem(Control* control, QGraphicsItem* parent = nullptr);
    Control* control() const { return control_; }
    QRectF boundingRect() const override;
    // Mirrors the control's place, size, stacking, visibility and tool tip,
    // and repaints when what it shows has changed.
    void Sync();

  protected:
    // True when the content drawn has changed since the last call.
    virtual bool ContentChanged() = 0;
    // Shows the item at its control's new place. `shown`: the item was shown
    // before the move and still is, so a card may glide there.
    virtual void MoveTo(QPointF place, bool shown);
    Control* control_;

  private:
    int left_ = -1, top_ = -1, width_ = -1, height_ = -1;
    std::int64_t z_ = -1;
    int visible_ = -1;
    std::string toolTip_;
};

class CardItem : public ControlItem {
  public:
    // With a glider, the card glides to its new places (see Glide.h). The
    // glider lives as long as the table's items.
    CardItem(int index, Picture* picture, Glider* glider = nullptr);
    int index() const { return index_; }
    i16 shownImage() const { return image_; }
    // Reaches past the card while the Hint's mark is drawn round it.
    QRectF boundingRect() const override;
    // Only the card itself is pressed or pointed at, never its mark.
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

  protected:
    bool ContentChanged() override;
    void MoveTo(QPointF place, bool shown) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;

  private:
    Picture* picture() const { return static_cast<Picture*>(control_); }
    int index_;
    Glider* glider_;
    i16 image_ = -1;
    bool border_ = false;
    bool hinted_ = false;
    bool fourColour_ = false;
    int cursor_ = -1;
};

class LabelItem : public ControlItem {
  public:
    explicit LabelItem(Label* label, QGraphicsItem* parent);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

  protected:
    bool ContentChanged() override;

  private:
    Label* label() const { return static_cast<Label*>(control_); }
    std::string caption_;
    std::uint32_t back_ = 0, fore_ = 0;
};

class FrameItem : public ControlItem {
  public:
    explicit FrameItem(Frame* frame);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

  protected:
    bool ContentChanged() override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    Frame* frame() const { return static_cast<Frame*>(control_); }
    std::string caption_;
};

class ButtonItem : public ControlItem {
  public:
    explicit ButtonItem(Button* button, QGraphicsItem* parent);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

  protected:
    bool ContentChanged() override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    Button* button() const { return static_cast<Button*>(control_); }
    std::string caption_;
    bool pressed_ = false;
    bool focused_ = false;
};

class ListItem : public ControlItem {
  public:
    explicit ListItem(ListBox* list, QGraphicsItem* parent);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

  protected:
    bool ContentChanged() override;

  private:
    ListBox* list() const { return static_cast<ListBox*>(control_); }
    std::vector<std::string> items_;
};

class ShapeItem : public ControlItem {
  public:
    explicit ShapeItem(Shape* shape);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

  protected:
    bool ContentChanged() override;

  private:
    Shape* shapeRecord() const { return static_cast<Shape*>(control_); }
    std::uint32_t border_ = 0;
};

// The one text box: a line edit inside the scene, its text kept in the record.
class TextBoxItem : public ControlItem {
  public:
    explicit TextBoxItem(TextBox* box, QGraphicsItem* parent);
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}
    QLineEdit* edit() const { return edit_; }

  protected:
    bool ContentChanged() override;

  private:
    TextBox* box() const { return static_cast<TextBox*>(control_); }
    QGraphicsProxyWidget* proxy_;
    QLineEdit* edit_;
    int focusRequests_ = 0;
};

}  // namespace cardovia::qt
