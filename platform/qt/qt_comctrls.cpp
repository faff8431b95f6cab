// Grids, tree views, progress bars and up-down arrows.
#include "platform/qt/qt_comctrls.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/comctrls.h"
#include "platform/grids.h"

namespace ovqt {

namespace {

constexpr int ScrollBarSize = 16;  // what the model leaves for a grid's scroll bar

// The first scrolled row (column) that still fills the client area, as the grid clamps it.
int MaxFirst(int fixed, int count, int room, int lineWidth, const std::function<int(int)>& size) {
    for (int i = 0; i < fixed && i < count; ++i) room -= size(i) + lineWidth;
    int used = 0, first = count;
    for (int i = count - 1; i >= fixed; --i) {
        if (used + size(i) > room && first < count) break;
        used += size(i) + lineWidth;
        first = i;
    }
    return std::max(fixed, std::min(first, count - 1));
}

// The model draws and drives the grid; the peer adds the frame and the scroll bars.
class GridPeer : public TQtSurfacePeer {
public:
    explicit GridPeer(TCustomGrid* grid) : TQtSurfacePeer(grid, false), grid_(grid) {
        frame_ = new QFrame;
        MakeSurface(frame_);
        surface_->setFocusPolicy(Qt::StrongFocus);
        frame_->setFocusProxy(surface_);
        vbar_ = new QScrollBar(Qt::Vertical, frame_);
        hbar_ = new QScrollBar(Qt::Horizontal, frame_);
        for (QScrollBar* bar : {vbar_, hbar_}) bar->setFocusPolicy(Qt::NoFocus);
        QObject::connect(vbar_, &QScrollBar::valueChanged, vbar_, Guarded([this](int v) {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             grid_->UserSet(grid_->TopRow, v);
                             SyncBars();
                         }));
        QObject::connect(hbar_, &QScrollBar::valueChanged, hbar_, Guarded([this](int v) {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             grid_->UserSet(grid_->LeftCol, v);
                             SyncBars();
                         }));
        Init(frame_);
    }
    void Place() override {
        TQtControlPeer::Place();
        Layout();
    }
    void Resync() override {
        QuietScope quiet(this);
        SyncBars();
    }

protected:
    void Sync(TPropId id, int index) override {
        TQtSurfacePeer::Sync(id, index);
        switch (id) {
        case TPropId::None:
        case TPropId::ScrollBars:
        case TPropId::BorderStyle:
        case TPropId::Bounds:
        case TPropId::Width:
        case TPropId::Height: Layout(); break;
        case TPropId::TopRow:
        case TPropId::LeftCol:
        case TPropId::Row:
        case TPropId::Col:
        case TPropId::RowCount:
        case TPropId::ColCount:
        case TPropId::FixedRows:
        case TPropId::FixedCols:
        case TPropId::DefaultColWidth:
        case TPropId::DefaultRowHeight:
        case TPropId::ColWidths:
        case TPropId::RowHeights:
        case TPropId::GridLineWidth:
        case TPropId::Selection: SyncBars(); break;
        default: break;
        }
    }

private:
    void Layout() {
        if (!frame_ || !surface_) return;
        int border = grid_->BorderStyle == bsSingle ? 2 : 0;
        frame_->setFrameStyle(border ? (QFrame::WinPanel | QFrame::Sunken) : QFrame::NoFrame);
        int cw = grid_->ClientWidth, ch = grid_->ClientHeight;
        surface_->setGeometry(border, border, cw, ch);
        // The model leaves room for the bars that its cells need.
        const bool v = cw < grid_->Width - 2 * border, h = ch < grid_->Height - 2 * border;
        vbar_->setGeometry(border + cw, border, ScrollBarSize, ch);
        hbar_->setGeometry(border, border + ch, cw, ScrollBarSize);
        vbar_->setVisible(v);
        hbar_->setVisible(h);
        SyncBars();
    }
    void SyncBars() {
        int line = grid_->GridLineWidth;
        int maxTop = MaxFirst(grid_->FixedRows, grid_->RowCount, grid_->ClientHeight, line,
                              [this](int i) { return static_cast<int>(grid_->RowHeights[i]); });
        int maxLeft = MaxFirst(grid_->FixedCols, grid_->ColCount, grid_->ClientWidth, line,
                               [this](int i) { return static_cast<int>(grid_->ColWidths[i]); });
        vbar_->setRange(std::min(grid_->FixedRows.Get(), grid_->RowCount - 1), maxTop);
        vbar_->setPageStep(std::max(1, grid_->VisibleRowCount()));
        vbar_->setValue(grid_->TopRow);
        vbar_->setEnabled(maxTop > grid_->FixedRows);
        hbar_->setRange(std::min(grid_->FixedCols.Get(), grid_->ColCount - 1), maxLeft);
        hbar_->setPageStep(std::max(1, grid_->VisibleColCount()));
        hbar_->setValue(grid_->LeftCol);
        hbar_->setEnabled(maxLeft > grid_->FixedCols);
    }
    TCustomGrid* grid_;
    QFrame* frame_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    QScrollBar* hbar_ = nullptr;
};

// A model-painted control that scrolls by its first shown row or line: a
// vertical scroll bar over its surface moves that property.
class TopRowBarPeer : public TQtSurfacePeer {
protected:
    TopRowBarPeer(TControl* control, TProperty<int>& top) : TQtSurfacePeer(control) {
        bar_ = new QScrollBar(Qt::Vertical, surface_);
        MarkDecoration(bar_);
        bar_->setFocusPolicy(Qt::NoFocus);
        QObject::connect(bar_, &QScrollBar::valueChanged, bar_, Guarded([this, control, &top](int v) {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             control->UserSet(top, v);
                             surface_->InvalidateModel(surface_->rect());
                         }));
    }
    QScrollBar* bar_ = nullptr;
};

// The model draws the text from its top line; the peer adds the vertical
// scroll bar the control asks for, shown while the lines do not fit, and
// turns the wheel into lines.
class RichEditPeer : public TopRowBarPeer {
public:
    explicit RichEditPeer(TRichEdit* edit) : TopRowBarPeer(edit, edit->TopLine), edit_(edit) { SyncBar(); }
    bool WheelScroll(int delta) override {
        const int lines = -delta / 40;
        if (lines == 0 || edit_->LastTopLine() == 0) return false;
        edit_->TopLine = std::clamp(edit_->TopLine + lines, 0, edit_->LastTopLine());
        return true;
    }
    void Resync() override {
        QuietScope quiet(this);
        SyncBar();
    }

protected:
    void Sync(TPropId id, int index) override {
        TQtSurfacePeer::Sync(id, index);
        switch (id) {
        case TPropId::None:
        case TPropId::Text:
        case TPropId::Lines:
        case TPropId::TopIndex:
        case TPropId::ScrollBars:
        case TPropId::Font:
        case TPropId::Width:
        case TPropId::Height:
        case TPropId::Bounds: {
            QuietScope quiet(this);
            SyncBar();
            break;
        }
        default: break;
        }
    }

private:
    void SyncBar() {
        if (!bar_) return;
        const TScrollStyle style = edit_->ScrollBars;
        const int last = edit_->LastTopLine();
        bar_->setRange(0, last);
        bar_->setPageStep(edit_->VisibleLineCount());
        bar_->setValue(edit_->TopLine);
        const int w = bar_->sizeHint().width();
        bar_->setGeometry(edit_->ClientWidth - w, 0, w, edit_->ClientHeight);
        bar_->setVisible((style == ssVertical || style == ssBoth) && last > 0);
    }
    TRichEdit* edit_;
};

// The model draws the tree and hit-tests it; the peer adds a scroll bar over
// its rows when they do not fit.
class TreeViewPeer : public TopRowBarPeer {
public:
    explicit TreeViewPeer(TTreeView* tree) : TopRowBarPeer(tree, tree->TopIndex), tree_(tree) {
        surface_->setFocusPolicy(Qt::StrongFocus);
        SyncBar();
    }
    bool WheelScroll(int delta) override {
        int rows = -delta / 40;
        if (rows == 0) return false;
        tree_->TopIndex = std::max(0, tree_->TopIndex + rows);
        return true;
    }
    void Resync() override {
        QuietScope quiet(this);
        SyncBar();
    }

protected:
    void Sync(TPropId id, int index) override {
        TQtSurfacePeer::Sync(id, index);
        SyncBar();
        surface_->InvalidateModel(surface_->rect());
    }

private:
    void SyncBar() {
        if (!bar_) return;
        int rows = static_cast<int>(tree_->VisibleNodes().size());
        int page = std::max(1, tree_->ClientHeight / std::max(1, tree_->RowHeight()));
        int max = std::max(0, rows - page);
        bar_->setRange(0, max);
        bar_->setPageStep(page);
        bar_->setValue(tree_->TopIndex);
        int w = bar_->sizeHint().width();
        bar_->setGeometry(tree_->ClientWidth - w, 0, w, tree_->ClientHeight);
        bar_->setVisible(max > 0);
    }
    TTreeView* tree_;
};

class ProgressPeer : public TQtControlPeer {
public:
    explicit ProgressPeer(TProgressBar* bar) : TQtControlPeer(bar), model_(bar) {
        bar_ = new QProgressBar;
        bar_->setTextVisible(false);
        Init(bar_);
    }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
        case TPropId::Min:
        case TPropId::Max:
        case TPropId::Position:
            bar_->setRange(model_->Min, std::max(model_->Min.Get(), model_->Max.Get()));
            bar_->setValue(model_->Position);
            return;
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    TProgressBar* model_;
    QProgressBar* bar_;
};

// Two arrow buttons that repeat while held.
class UpDownPeer : public TQtControlPeer {
public:
    explicit UpDownPeer(TUpDown* updown) : TQtControlPeer(updown), model_(updown) {
        box_ = new QWidget;
        next_ = new QToolButton(box_);
        prev_ = new QToolButton(box_);
        for (QToolButton* b : {next_, prev_}) {
            b->setAutoRepeat(true);
            b->setFocusPolicy(Qt::NoFocus);
        }
        QObject::connect(next_, &QToolButton::clicked, next_, Guarded([this] {
                             if (!Quiet()) model_->ClickButton(btNext);
                         }));
        QObject::connect(prev_, &QToolButton::clicked, prev_, Guarded([this] {
                             if (!Quiet()) model_->ClickButton(btPrev);
                         }));
        Init(box_);
    }
    bool NativeClick() const override { return true; }
    void Place() override {
        TQtControlPeer::Place();
        Arrange();
    }

protected:
    void Sync(TPropId id, int index) override {
        TQtControlPeer::Sync(id, index);
        if (id == TPropId::None || id == TPropId::Orientation) Arrange();
    }

private:
    void Arrange() {
        if (!box_) return;
        int w = model_->Width, h = model_->Height;
        if (model_->Orientation == udVertical) {
            next_->setArrowType(Qt::UpArrow);
            prev_->setArrowType(Qt::DownArrow);
            next_->setGeometry(0, 0, w, h / 2);
            prev_->setGeometry(0, h / 2, w, h - h / 2);
        } else {
            next_->setArrowType(Qt::RightArrow);
            prev_->setArrowType(Qt::LeftArrow);
            prev_->setGeometry(0, 0, w / 2, h);
            next_->setGeometry(w / 2, 0, w - w / 2, h);
        }
    }
    TUpDown* model_;
    QWidget* box_;
    QToolButton* next_;
    QToolButton* prev_;
};

// Arrows at the ends of the strip that scroll the control inside it.
class PageScrollerPeer : public TQtSurfacePeer {
public:
    explicit PageScrollerPeer(TPageScroller* scroller) : TQtSurfacePeer(scroller), scroller_(scroller) {
        back_ = new QToolButton(surface_);
        forth_ = new QToolButton(surface_);
        for (QToolButton* b : {back_, forth_}) {
            MarkDecoration(b);
            b->setAutoRepeat(true);
            b->setFocusPolicy(Qt::NoFocus);
        }
        QObject::connect(back_, &QToolButton::clicked, back_, Guarded([this] { Step(-1); }));
        QObject::connect(forth_, &QToolButton::clicked, forth_, Guarded([this] { Step(1); }));
        Arrange();
    }
    void ContentChanged() override { Arrange(); }
    void Resync() override { Arrange(); }

protected:
    void Sync(TPropId id, int index) override {
        TQtSurfacePeer::Sync(id, index);
        Arrange();
    }

private:
    void Step(int direction) {
        if (Quiet()) return;
        int step = std::max(
            8,
            (scroller_->Orientation == soHorizontal ? scroller_->ClientWidth : scroller_->ClientHeight) / 4);
        scroller_->UserSet(scroller_->Position, scroller_->Position + direction * step);
        Arrange();
    }
    void Arrange() {
        if (!back_) return;
        bool horizontal = scroller_->Orientation == soHorizontal;
        int size = std::max(8, scroller_->ButtonSize.Get());
        int w = scroller_->ClientWidth, h = scroller_->ClientHeight;
        back_->setArrowType(horizontal ? Qt::LeftArrow : Qt::UpArrow);
        forth_->setArrowType(horizontal ? Qt::RightArrow : Qt::DownArrow);
        if (horizontal) {
            back_->setGeometry(0, 0, size, h);
            forth_->setGeometry(w - size, 0, size, h);
        } else {
            back_->setGeometry(0, 0, w, size);
            forth_->setGeometry(0, h - size, w, size);
        }
        back_->setVisible(scroller_->Position > 0);
        forth_->setVisible(scroller_->Position < scroller_->MaxPosition());
        back_->raise();
        forth_->raise();
    }
    TPageScroller* scroller_;
    QPointer<QToolButton> back_, forth_;
};

}  // namespace

TControlPeer* MakeComCtrlPeer(TControl* control) {
    if (auto s = dynamic_cast<TPageScroller*>(control)) return new PageScrollerPeer(s);
    if (auto g = dynamic_cast<TCustomGrid*>(control)) return new GridPeer(g);
    if (auto t = dynamic_cast<TTreeView*>(control)) return new TreeViewPeer(t);
    if (auto p = dynamic_cast<TProgressBar*>(control)) return new ProgressPeer(p);
    if (auto u = dynamic_cast<TUpDown*>(control)) return new UpDownPeer(u);
    if (auto r = dynamic_cast<TRichEdit*>(control)) return new RichEditPeer(r);
    return nullptr;
}

}  // namespace ovqt
