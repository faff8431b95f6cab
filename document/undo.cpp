#include "document/undo.h"

#include "cells/cell.h"
#include "document/grid.h"
#include "document/signs.h"

namespace {

const char* const Captions[] = {
    "",
    "&Annulla cancellazione",
    "&Annulla inserimento",
    "&Annulla taglia",
    "&Annulla elimina",
    "&Annulla incolla",
    "&Annulla ridimensionamento",
    "&Annulla modifica testo",
    "&Annulla spostamento",
    "&Annulla modifica proprietà",
};
constexpr int CaptionCount = sizeof(Captions) / sizeof(Captions[0]);

constexpr uint8_t KindCell = 0;
constexpr uint8_t KindSign = 1;

}  // namespace

TAnnulla::TAnnulla(TGridData* grid) : Grid(grid) {}

TAnnulla::~TAnnulla() = default;

// ---- Pushing ----

void TAnnulla::Push(TRecord record) {
    if (records_.size() >= static_cast<size_t>(UndoMaxRecords)) DropOldestStep();
    // The new record heads a step made of itself and the steps it counts.
    const int32_t group = record.GroupCount;
    pushedSteps_ += 1 - int64_t{group};
    records_.push_back(std::move(record));
    if (group > 0 && static_cast<size_t>(group) > steps_.size()) {
        Clear();  // a count past the bottom of the list
        return;
    }
    size_t size = 1;
    for (int32_t i = 0; i < group; ++i) {
        size += steps_.back();
        steps_.pop_back();
    }
    steps_.push_back(size);
}

TAnnulla::TRecord TAnnulla::Make(uint8_t kind, uint8_t operation, int32_t groupCount, int32_t caption) {
    TRecord r;
    r.Kind = kind;
    r.Operation = operation;
    r.Caption = static_cast<uint8_t>(caption);
    r.GroupCount = groupCount;
    return r;
}

void TAnnulla::PushRemoved(std::unique_ptr<TCella> cell, int32_t groupCount, int32_t caption) {
    TRecord r = Make(KindCell, UndoRemoved, groupCount, caption);
    r.Cell = cell.get();
    r.OwnedCell = std::move(cell);
    Push(std::move(r));
}

void TAnnulla::PushRemoved(std::unique_ptr<TSegnoGrafico> sign, int32_t groupCount, int32_t caption) {
    TRecord r = Make(KindSign, UndoRemoved, groupCount, caption);
    r.Sign = sign.get();
    r.OwnedSign = std::move(sign);
    Push(std::move(r));
}

void TAnnulla::PushInserted(TCella* cell, int32_t groupCount, int32_t caption) {
    TRecord r = Make(KindCell, UndoInserted, groupCount, caption);
    r.Cell = cell;
    Push(std::move(r));
}

void TAnnulla::PushInserted(TSegnoGrafico* sign, int32_t groupCount, int32_t caption) {
    TRecord r = Make(KindSign, UndoInserted, groupCount, caption);
    r.Sign = sign;
    Push(std::move(r));
}

void TAnnulla::PushMarker(int32_t groupCount, int32_t caption, uint8_t operation) {
    // A marker never carries an operation that would act on an object.
    const bool acts = operation == UndoRemoved || operation == UndoInserted;
    Push(Make(KindCell, acts ? uint8_t{UndoGroup} : operation, groupCount, caption));
}

void TAnnulla::SetGroupSize(int32_t n) {
    if (records_.empty()) return;
    pushedSteps_ += int64_t{records_.back().GroupCount} - n;
    records_.back().GroupCount = n;
    FindSteps();
}

// ---- Steps ----

TUndoStep::TUndoStep(TAnnulla* list, TEnd end, int32_t caption)
    : list_(list), end_(end), caption_(caption), start_(list ? list->PushedSteps() : 0) {}

int32_t TUndoStep::Count() const { return list_ ? static_cast<int32_t>(list_->PushedSteps() - start_) : 0; }

TUndoStep::~TUndoStep() { End(); }

void TUndoStep::End() {
    if (!list_) return;
    const int32_t count = Count();
    TAnnulla* const list = list_;
    list_ = nullptr;  // once only
    switch (end_) {
    case TEnd::Marker: list->PushMarker(count, caption_); break;
    case TEnd::MarkerIfAny:
        if (count > 0) list->PushMarker(count, caption_);
        break;
    case TEnd::UnderTop:
        if (count > 1) list->SetGroupSize(count - 1);
        break;
    }
}

void TAnnulla::FindSteps() {
    // From the top, head to head: a head with group count g spans itself and
    // the g steps below it. A count that runs past the bottom empties the list.
    std::deque<size_t> steps;
    size_t at = records_.size();
    while (at > 0) {
        const size_t head = at - 1;
        int64_t pending = records_[head].GroupCount;
        at = head;
        while (pending > 0) {
            if (at == 0) {
                Clear();
                return;
            }
            --at;
            pending += int64_t{records_[at].GroupCount} - 1;
        }
        steps.push_front(head - at + 1);
    }
    steps_.swap(steps);
}

void TAnnulla::DropOldestStep() {
    if (steps_.empty()) return;
    records_.erase(records_.begin(), records_.begin() + static_cast<std::ptrdiff_t>(steps_.front()));
    steps_.pop_front();
}

int32_t TAnnulla::UndoOne(int32_t& mask) {
    TRecord r = std::move(records_.back());
    records_.pop_back();
    const bool sign = r.Kind == KindSign && (r.Operation == UndoRemoved || r.Operation == UndoInserted);
    mask |= sign ? ModDrawing : ModAll;
    if (r.Operation == UndoRemoved) {
        if (r.OwnedCell) {
            const TCella* back = r.OwnedCell.get();
            // A cell the grid refuses is dropped: no older record may reach it.
            if (!Grid->InsertCell(std::move(r.OwnedCell), false, 0)) Forget(back);
        } else if (r.OwnedSign) {
            const TSegnoGrafico* back = r.OwnedSign.get();
            if (!Grid->AddSign(std::move(r.OwnedSign), false, 0)) Forget(back);
        }
    } else if (r.Operation == UndoInserted) {
        if (r.Cell)
            Grid->RemoveCell(r.Cell, false, 0);
        else if (r.Sign)
            Grid->RemoveSign(r.Sign, false, 0);
    }
    return r.GroupCount;
}

void TAnnulla::Undo() {
    if (records_.empty()) return;
    // The top record and, one after the other, the groups it counts.
    int32_t mask = 0;
    int64_t pending = 1;
    while (pending > 0 && !records_.empty()) pending += int64_t{UndoOne(mask)} - 1;
    FindSteps();
    Grid->SetModified(mask);
}

AnsiString TAnnulla::GetMenuCaption() const {
    if (records_.empty()) return "&Annulla";
    const int code = records_.back().Caption;
    return code > 0 && code < CaptionCount ? Captions[code] : "";
}

void TAnnulla::Clear() {
    records_.clear();
    steps_.clear();
}

void TAnnulla::Forget(const TCella* cell) {
    if (!cell) return;
    for (TRecord& r : records_)
        if (r.Cell == cell && !r.OwnedCell) {
            r.Cell = nullptr;
            r.Operation = UndoMarker;
        }
}

void TAnnulla::Forget(const std::unordered_set<const TCella*>& cells) {
    if (cells.empty()) return;
    for (TRecord& r : records_)
        if (r.Cell && !r.OwnedCell && cells.count(r.Cell)) {
            r.Cell = nullptr;
            r.Operation = UndoMarker;
        }
}

void TAnnulla::Forget(const TSegnoGrafico* sign) {
    if (!sign) return;
    for (TRecord& r : records_)
        if (r.Sign == sign && !r.OwnedSign) {
            r.Sign = nullptr;
            r.Operation = UndoMarker;
        }
}

TAnnulla::TRecordView TAnnulla::Record(int index) const {
    const TRecord& r = records_.at(records_.size() - 1 - static_cast<size_t>(index));
    const void* object =
        r.Kind == KindSign ? static_cast<const void*>(r.Sign) : static_cast<const void*>(r.Cell);
    return TRecordView{object, r.Kind, r.Operation, r.Caption, r.GroupCount};
}
