// Tree views, their node lists and nodes.
#include <algorithm>

#include "platform/comctrls.h"

// ---------------------------------------------------------------- nodes

TTreeNode::~TTreeNode() {
    for (TTreeNode* c : children_) delete c;
}

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

TTreeNode* TTreeNode::ItemAt(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("Indice del nodo fuori dai limiti (" + std::to_string(index) + ")");
    return children_[index];
}

int TTreeNode::Index() const {
    const auto& siblings = owner_->SiblingsOf(parent_);
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

TTreeNode* TTreeNode::getNextSibling() const {
    const auto& siblings = owner_->SiblingsOf(parent_);
    int i = Index();
    return i + 1 < static_cast<int>(siblings.size()) ? siblings[i + 1] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
    const auto& siblings = owner_->SiblingsOf(parent_);
    int i = Index();
    return i > 0 ? siblings[i - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* s = n->getNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* prev = getPrevSibling();
    if (!prev) return parent_;
    while (!prev->children_.empty()) prev = prev->children_.back();
    return prev;
}

int TTreeNode::AbsoluteIndex() const {
    int i = 0;
    for (TTreeNode* n = owner_->GetFirstNode(); n; n = n->GetNext(), ++i)
        if (n == this) return i;
    return -1;
}

bool TTreeNode::IsVisible() const {
    for (const TTreeNode* p = parent_; p; p = p->parent_)
        if (!p->expanded_) return false;
    return true;
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* p = parent_; p; p = p->parent_)
        if (!p->expanded_) p->SetExpanded(true);
    TTreeView* tree = TreeView();
    std::vector<TTreeNode*> rows = tree->VisibleNodes();
    int row = static_cast<int>(std::find(rows.begin(), rows.end(), this) - rows.begin());
    int visible = std::max(1, tree->ClientHeight / std::max(1, tree->RowHeight()));
    if (row < tree->TopIndex)
        tree->TopIndex = row;
    else if (row >= tree->TopIndex + visible)
        tree->TopIndex = row - visible + 1;
}

TTreeView* TTreeNode::TreeView() const { return owner_->tree_; }

void TTreeNode::SetExpanded(bool expanded) {
    if (expanded == expanded_) return;
    if (!TreeView()->Expanding(this, expanded)) return;
}

void TTreeNode::Expand(bool recurse) {
    SetExpanded(true);
    if (recurse)
        for (TTreeNode* c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
    SetExpanded(false);
    if (recurse)
        for (TTreeNode* c : children_) c->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected == this; }

void TTreeNode::SetSelected(bool selected) {
    TTreeView* tree = TreeView();
    if (selected)
        tree->Selected = this;
    else if (tree->Selected == this)
        tree->Selected = nullptr;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    TTreeView::TRowLayout l = TreeView()->LayoutOf(this);
    return textOnly ? l.Label : l.Row;
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!children_.empty()) owner_->Delete(children_.back());
}

void TTreeNode::AlphaSort(bool recurse) {
    TTreeView* tree = TreeView();
    auto less = [tree](TTreeNode* a, TTreeNode* b) {
        if (tree->OnCompare) {
            int c = 0;
            tree->OnCompare(tree, a, b, 0, c);
            return c < 0;
        }
        return CompareText(a->Text, b->Text) < 0;
    };
    std::stable_sort(children_.begin(), children_.end(), less);
    if (recurse)
        for (TTreeNode* c : children_) c->AlphaSort(true);
    owner_->Changed();
}

void TTreeNode::PropertyChanged(TPropId id) {
    TTreeView* tree = TreeView();
    if (id == TPropId::NodeText && (tree->SortType == stText || tree->SortType == stBoth) &&
        !tree->sorting_) {
        auto& siblings = owner_->SiblingsOf(parent_);
        std::stable_sort(siblings.begin(), siblings.end(),
                         [](TTreeNode* a, TTreeNode* b) { return CompareText(a->Text, b->Text) < 0; });
    }
    owner_->Changed();
}

// ---------------------------------------------------------------- node lists

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* n : roots_) delete n;
}

std::vector<TTreeNode*>& TTreeNodes::SiblingsOf(TTreeNode* parent) {
    return parent ? parent->children_ : roots_;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* parent, int index, const AnsiString& text, void* data) {
    auto& siblings = SiblingsOf(parent);
    index = std::clamp(index, 0, static_cast<int>(siblings.size()));
    TTreeNode* node = new TTreeNode(this, parent);
    node->Text.SetQuiet(text);
    node->Data = data;
    siblings.insert(siblings.begin() + index, node);
    if (parent) parent->HasChildren.SetQuiet(true);
    if (tree_->SortType == stText || tree_->SortType == stBoth)
        std::stable_sort(siblings.begin(), siblings.end(),
                         [](TTreeNode* a, TTreeNode* b) { return CompareText(a->Text, b->Text) < 0; });
    Changed();
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const AnsiString& text) {
    return AddObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const AnsiString& text, void* data) {
    TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    return InsertAt(parent, static_cast<int>(SiblingsOf(parent).size()), text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const AnsiString& text) {
    return InsertAt(sibling ? sibling->parent_ : nullptr, 0, text, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const AnsiString& text) {
    return AddChildObject(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const AnsiString& text, void* data) {
    return InsertAt(parent, static_cast<int>(SiblingsOf(parent).size()), text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const AnsiString& text) {
    return InsertAt(parent, 0, text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const AnsiString& text) {
    if (!sibling) return Add(nullptr, text);
    return InsertAt(sibling->parent_, sibling->Index(), text, nullptr);
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node || node->owner_ != this) return;
    tree_->NodeDeleting(node);
    TTreeNode* parent = node->parent_;
    auto& siblings = SiblingsOf(parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    if (parent && parent->children_.empty()) {
        parent->HasChildren.SetQuiet(false);
        parent->expanded_ = false;
    }
    delete node;
    Changed();
}

void TTreeNodes::Clear() {
    if (roots_.empty()) return;
    tree_->NodeDeleting(nullptr);
    for (TTreeNode* n : roots_) delete n;
    roots_.clear();
    Changed();
}

int TTreeNodes::Count() const {
    int n = 0;
    for (TTreeNode* p = GetFirstNode(); p; p = p->GetNext()) ++n;
    return n;
}

TTreeNode* TTreeNodes::ItemAt(int index) const {
    int i = 0;
    for (TTreeNode* p = GetFirstNode(); p; p = p->GetNext(), ++i)
        if (i == index) return p;
    throw Exception("Indice del nodo fuori dai limiti (" + std::to_string(index) + ")");
}

void TTreeNodes::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0) Changed();
}

void TTreeNodes::AlphaSort(bool recurse) {
    auto less = [this](TTreeNode* a, TTreeNode* b) {
        if (tree_->OnCompare) {
            int c = 0;
            tree_->OnCompare(tree_, a, b, 0, c);
            return c < 0;
        }
        return CompareText(a->Text, b->Text) < 0;
    };
    std::stable_sort(roots_.begin(), roots_.end(), less);
    if (recurse)
        for (TTreeNode* n : roots_) n->AlphaSort(true);
    Changed();
}

void TTreeNodes::Changed() {
    if (updating_ == 0) tree_->NodesChanged();
}

// ---------------------------------------------------------------- tree views

TTreeView::TTreeView(TComponent* owner) : TCustomControl(owner), Items(new TTreeNodes(this)) {
    TabStop.SetQuiet(true);
    Color.SetQuiet(clWindow);
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() {
    DestroyPeers();
    Selected.SetQuiet(nullptr);
    delete Items;
}

int TTreeView::RowHeight() const {
    if (ItemHeight > 0) return ItemHeight;
    int h = TTextMetrics::Extent(FontStateOf(*Font), "Ag").cy + 3;
    if (TImageList* i = Images) h = std::max(h, i->Height);
    if (TImageList* s = StateImages) h = std::max(h, s->Height);
    return std::max(h, 16);
}

std::vector<TTreeNode*> TTreeView::VisibleNodes() const {
    std::vector<TTreeNode*> rows;
    std::function<void(TTreeNode*)> walk = [&](TTreeNode* n) {
        rows.push_back(n);
        if (n->expanded_)
            for (TTreeNode* c : n->children_) walk(c);
    };
    for (TTreeNode* r : Items->roots_) walk(r);
    return rows;
}

TTreeNode* TTreeView::TopItem() const {
    std::vector<TTreeNode*> rows = VisibleNodes();
    return TopIndex < static_cast<int>(rows.size()) ? rows[TopIndex] : nullptr;
}

TTreeView::TRowLayout TTreeView::LayoutOf(const TTreeNode* node) const {
    TRowLayout l;
    std::vector<TTreeNode*> rows = VisibleNodes();
    auto it = std::find(rows.begin(), rows.end(), node);
    if (!node || it == rows.end()) return l;
    int rh = RowHeight();
    int y = (static_cast<int>(it - rows.begin()) - TopIndex) * rh;
    l.Row = TRect(0, y, ClientWidth, y + rh);
    int x = (node->Level() + (ShowRoot ? 1 : 0)) * Indent;
    if (ShowButtons && (ShowRoot || node->parent_)) l.Button = TRect(x - Indent, y, x, y + rh);
    if (TImageList* s = StateImages; s && node->StateIndex > 0) {
        l.StateIcon = TRect(x, y, x + s->Width, y + rh);
        x += s->Width;
    }
    if (TImageList* i = Images) {
        l.Icon = TRect(x, y, x + i->Width, y + rh);
        x += i->Width;
    }
    int w = TTextMetrics::Extent(FontStateOf(*Font), node->Text).cx + 4;
    l.Label = TRect(x, y, x + w, y + rh);
    return l;
}

THitTests TTreeView::GetHitTestInfoAt(int x, int y) const {
    THitTests result;
    if (x < 0) result << htToLeft;
    if (x >= ClientWidth) result << htToRight;
    if (y < 0) return result << htAbove;
    if (y >= ClientHeight) return result << htBelow;
    TTreeNode* node = GetNodeAt(x, y);
    if (!node) return result << htNowhere;
    TRowLayout l = LayoutOf(node);
    TPoint p(x, y);
    if (l.Button.Contains(p))
        result << htOnButton;
    else if (l.StateIcon.Contains(p))
        result << htOnStateIcon << htOnItem;
    else if (l.Icon.Contains(p))
        result << htOnIcon << htOnItem;
    else if (l.Label.Contains(p))
        result << htOnLabel << htOnItem;
    else if (x >= l.Label.Right)
        result << htOnRight;
    else
        result << htOnIndent;
    return result;
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const {
    (void)x;
    if (y < 0) return nullptr;
    std::vector<TTreeNode*> rows = VisibleNodes();
    int index = TopIndex + y / std::max(1, RowHeight());
    return index < static_cast<int>(rows.size()) ? rows[index] : nullptr;
}

bool TTreeView::Expanding(TTreeNode* node, bool expand) {
    bool allow = true;
    if (expand && OnExpanding) OnExpanding(this, node, allow);
    if (!expand && OnCollapsing) OnCollapsing(this, node, allow);
    if (!allow) return false;
    node->expanded_ = expand;
    // Collapsing over the chosen node chooses the collapsed one.
    if (!expand)
        for (TTreeNode* s = Selected; s; s = s->parent_)
            if (s->parent_ == node) {
                Selected = node;
                break;
            }
    NodesChanged();
    if (expand && OnExpanded) OnExpanded(this, node);
    if (!expand && OnCollapsed) OnCollapsed(this, node);
    return true;
}

void TTreeView::FullExpand() {
    for (TTreeNode* n = Items->GetFirstNode(); n; n = n->GetNext()) n->SetExpanded(true);
}

void TTreeView::FullCollapse() {
    for (TTreeNode* n = Items->GetFirstNode(); n; n = n->GetNext()) n->SetExpanded(false);
}

void TTreeView::NodesChanged() {
    if (destroying_) return;
    int rows = static_cast<int>(VisibleNodes().size());
    if (TopIndex >= std::max(1, rows)) TopIndex.SetQuiet(std::max(0, rows - 1));
    NotifyPeer(TPropId::Nodes);
    Invalidate();
}

void TTreeView::NodeDeleting(TTreeNode* node) {
    TTreeNode* s = Selected;
    if (!s) return;
    for (TTreeNode* p = s; p; p = p->parent_)
        if (!node || p == node) {
            // The chosen node goes away: nothing is chosen (no events).
            Selected.SetQuiet(nullptr);
            NotifyPeer(TPropId::Selected);
            return;
        }
}

bool TTreeView::PropertyChanging(TPropId id) {
    if (id == TPropId::Selected) {
        TTreeNode* n = Selected.Pending();
        if (n && n->owner_ != Items) return false;
        if (OnChanging) {
            bool allow = true;
            OnChanging(this, n, allow);
            if (!allow) return false;
        }
    }
    if (id == TPropId::TopIndex)
        TopIndex.Pending() =
            std::clamp(TopIndex.Pending(), 0, std::max(0, static_cast<int>(VisibleNodes().size()) - 1));
    return TCustomControl::PropertyChanging(id);
}

void TTreeView::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::Selected:
        if (TTreeNode* n = Selected) n->MakeVisible();
        Invalidate();
        if (OnChange && !destroying_) OnChange(this, Selected);
        return;
    case TPropId::Images:
    case TPropId::StateImages:
        if (TImageList* i = Images) FreeNotification(i);
        if (TImageList* s = StateImages) FreeNotification(s);
        Invalidate();
        return;
    case TPropId::SortType:
        if (SortType == stText || SortType == stBoth) Items->AlphaSort(true);
        return;
    case TPropId::TopIndex:
    case TPropId::Indent:
    case TPropId::ItemHeight:
    case TPropId::ShowButtons:
    case TPropId::ShowRoot:
    case TPropId::ShowLines: Invalidate(); return;
    default: TCustomControl::DoPropertyChanged(id);
    }
}

void TTreeView::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove) {
        if (component == Images.Get()) Images.SetQuiet(nullptr);
        if (component == StateImages.Get()) StateImages.SetQuiet(nullptr);
    }
    TCustomControl::Notification(component, operation);
}

void TTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused()) UserFocus();
    if (button == mbLeft && !shift.Contains(ssDouble)) {
        THitTests hit = GetHitTestInfoAt(x, y);
        TTreeNode* node = GetNodeAt(x, y);
        if (node && hit.Contains(htOnButton))
            node->SetExpanded(!node->Expanded());
        else if (node && (hit.Contains(htOnItem) || RowSelect))
            UserSet(Selected, node);
    }
    TControl::MouseDown(button, shift, x, y);
}

void TTreeView::DblClick() {
    TCustomControl::DblClick();
    TTreeNode* node = GetNodeAt(lastMouse_.x, lastMouse_.y);
    if (node && GetHitTestInfoAt(lastMouse_.x, lastMouse_.y).Contains(htOnItem) && !node->children_.empty())
        node->SetExpanded(!node->Expanded());
}

void TTreeView::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == 0) return;
    std::vector<TTreeNode*> rows = VisibleNodes();
    if (rows.empty()) return;
    TTreeNode* s = Selected;
    int i = s ? static_cast<int>(std::find(rows.begin(), rows.end(), s) - rows.begin()) : -1;
    TTreeNode* target = nullptr;
    switch (key) {
    case VK_UP: target = rows[std::max(0, i - 1)]; break;
    case VK_DOWN: target = rows[std::min(static_cast<int>(rows.size()) - 1, i + 1)]; break;
    case VK_HOME: target = rows.front(); break;
    case VK_END: target = rows.back(); break;
    case VK_LEFT:
        if (s && s->Expanded())
            s->SetExpanded(false);
        else if (s)
            target = s->Parent();
        break;
    case VK_RIGHT:
        if (s && !s->Expanded() && (s->Count() > 0 || s->HasChildren))
            s->SetExpanded(true);
        else if (s)
            target = s->getFirstChild();
        break;
    default: return;
    }
    if (target && target != s) UserSet(Selected, target);
    key = 0;
}

void TTreeView::Paint() {
    Canvas->Brush->Style = bsSolid;
    Canvas->Brush->Color = Color;
    Canvas->FillRect(ClientRect());
    std::vector<TTreeNode*> rows = VisibleNodes();
    int rh = RowHeight();
    bool showSelection = Focused() || !HideSelection;
    for (int i = TopIndex; i < static_cast<int>(rows.size()); ++i) {
        TTreeNode* n = rows[i];
        TRowLayout l = LayoutOf(n);
        if (l.Row.Top >= ClientHeight) break;
        if (!l.Button.IsEmpty() && (n->HasChildren || !n->children_.empty())) {
            TRect box = Bounds(l.Button.Left + (l.Button.Width() - 9) / 2, l.Button.Top + (rh - 9) / 2, 9, 9);
            Canvas->Pen->Color = clGray;
            Canvas->Brush->Color = Color;
            Canvas->Rectangle(box);
            Canvas->Pen->Color = clBlack;
            Canvas->MoveTo(box.Left + 2, box.Top + 4);
            Canvas->LineTo(box.Right - 2, box.Top + 4);
            if (!n->Expanded()) {
                Canvas->MoveTo(box.Left + 4, box.Top + 2);
                Canvas->LineTo(box.Left + 4, box.Bottom - 2);
            }
        }
        if (!l.StateIcon.IsEmpty())
            StateImages.Get()->Draw(Canvas, l.StateIcon.Left,
                                    l.StateIcon.Top + (rh - StateImages.Get()->Height) / 2, n->StateIndex);
        if (!l.Icon.IsEmpty()) {
            int index = Selected == n && n->SelectedIndex >= 0 ? n->SelectedIndex.Get() : n->ImageIndex.Get();
            Images.Get()->Draw(Canvas, l.Icon.Left, l.Icon.Top + (rh - Images.Get()->Height) / 2, index);
        }
        Canvas->Font->Assign(*Font);
        bool chosen = Selected == n && showSelection;
        Canvas->Brush->Style = bsSolid;
        Canvas->Brush->Color = chosen ? clHighlight : Color.Get();
        if (chosen) Canvas->Font->Color = clHighlightText;
        Canvas->FillRect(RowSelect ? l.Row : l.Label);
        Canvas->Brush->Style = bsClear;
        Canvas->TextOut(l.Label.Left + 2, l.Label.Top + (rh - Canvas->TextHeight("Ag")) / 2, n->Text);
    }
}
