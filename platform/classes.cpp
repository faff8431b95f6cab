#include "platform/classes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& back = other->freeNotifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
    // Free owned components last-created first; each removes itself.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        delete c;
    }
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                        freeNotifies_.end());
    auto& back = component->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::InsertComponent(TComponent* component) {
    if (std::find(components_.begin(), components_.end(), component) == components_.end())
        components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    if (component->owner_ == this) component->owner_ = nullptr;
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    for (TComponent* c : components_)
        if (SameText(c->Name, name)) return c;
    return nullptr;
}

// ---------------------------------------------------------------- TStringList

int TStringList::Compare(const AnsiString& a, const AnsiString& b) const {
    if (CaseSensitive) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return CompareText(a, b);
}

void TStringList::Changed(TEdit edit) {
    lastEdit_ = edit;
    if (OnChange) OnChange(this);
}

void TStringList::ChangedWhole(int before) { Changed(TEdit{0, before, Count()}); }

int TStringList::Add(const AnsiString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const AnsiString& s, TObject* object) {
    int index;
    if (!sorted_) {
        index = Count();
    } else if (Find(s, index)) {
        if (Duplicates == dupIgnore) return index;
        if (Duplicates == dupError) throw Exception("L'elenco non ammette duplicati");
    }
    items_.insert(items_.begin() + index, Item{s, object});
    Changed(TEdit{index, 0, 1});
    return index;
}

void TStringList::Insert(int index, const AnsiString& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const AnsiString& s, TObject* object) {
    if (index < 0 || index > Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, Item{s, object});
    Changed(TEdit{index, 0, 1});
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    items_.erase(items_.begin() + index);
    Changed(TEdit{index, 1, 0});
}

void TStringList::Clear() {
    if (items_.empty()) return;
    const int before = Count();
    items_.clear();
    ChangedWhole(before);
}

void TStringList::Exchange(int a, int b) {
    if (a < 0 || a >= Count() || b < 0 || b >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti");
    std::swap(items_[a], items_[b]);
    ChangedWhole(Count());
}

int TStringList::IndexOf(const AnsiString& s) const {
    if (sorted_) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (Compare(items_[i].text, s) == 0) return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i].object == object) return i;
    return -1;
}

bool TStringList::Find(const AnsiString& s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = Compare(items_[mid].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return Compare(a.text, b.text) < 0; });
    ChangedWhole(Count());
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !sorted_) Sort();
    sorted_ = sorted;
}

void TStringList::Assign(const TStringList& other) {
    if (&other == this) return;
    const int before = Count();
    items_ = other.items_;
    ChangedWhole(before);
}

void TStringList::AddStrings(const TStringList& other) {
    for (int i = 0; i < other.Count(); ++i) AddObject(other.items_[i].text, other.items_[i].object);
}

const AnsiString& TStringList::Strings(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    return items_[index].text;
}

void TStringList::SetStrings(int index, const AnsiString& s) {
    if (index < 0 || index >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    items_[index].text = s;
    Changed(TEdit{index, 1, 1});
}

AnsiString& TStringList::operator[](int index) {
    if (index < 0 || index >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    return items_[index].text;
}

TObject* TStringList::Objects(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    return items_[index].object;
}

void TStringList::SetObjects(int index, TObject* object) {
    if (index < 0 || index >= Count())
        throw Exception("Indice dell'elenco fuori dai limiti (" + std::to_string(index) + ")");
    items_[index].object = object;
}

AnsiString TStringList::Text() const {
    std::string out;
    for (const Item& i : items_) {
        out += i.text;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const AnsiString& text) {
    const int before = Count();
    items_.clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t e = text.find_first_of("\r\n", i);
        if (e == std::string::npos) {
            items_.push_back(Item{text.substr(i), nullptr});
            break;
        }
        items_.push_back(Item{text.substr(i, e - i), nullptr});
        if (text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ++e;
        i = e + 1;
    }
    if (sorted_) Sort();
    ChangedWhole(before);
}

AnsiString TStringList::CommaText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        if (i) out += ',';
        const std::string& t = items_[i].text;
        if (t.find_first_of(" ,\"") != std::string::npos) {
            out += '"';
            for (char c : t) {
                if (c == '"') out += '"';
                out += c;
            }
            out += '"';
        } else {
            out += t;
        }
    }
    return out;
}

// ---------------------------------------------------------------- streams

void TStream::ReadBuffer(void* buffer, int count) {
    if (count < 0 || Read(buffer, count) != count) throw EReadError("Errore di lettura dal flusso");
}

void TStream::WriteBuffer(const void* buffer, int count) {
    if (count < 0 || Write(buffer, count) != count) throw EWriteError("Errore di scrittura sul flusso");
}

int64_t TStream::Size() {
    int64_t pos = Seek(0, soFromCurrent);
    int64_t size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

TFileStream::TFileStream(const AnsiString& fileName, unsigned short mode) : fileName_(fileName) {
    if (mode == fmCreate) {
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            const int err = errno;
            throw EFCreateError("Impossibile creare il file \"" + fileName + "\": " + std::strerror(err),
                                err);
        }
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd_, 0) != 0) {
            int err = errno;
            ::close(fd_);
            fd_ = -1;
            throw EFCreateError("Impossibile creare il file \"" + fileName + "\": " + std::strerror(err),
                                err);
        }
        return;
    }
    int access = mode & 0x3;
    int flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    fd_ = ::open(fileName.c_str(), flags | O_CLOEXEC);
    if (fd_ < 0) {
        const int err = errno;
        throw EFOpenError("Impossibile aprire il file \"" + fileName + "\": " + std::strerror(err), err);
    }
    struct stat st;
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError("Impossibile aprire il file \"" + fileName + "\": è una cartella", EISDIR);
    }
    int share = mode & 0xF0;
    int lock = 0;
    if (share == fmShareExclusive)
        lock = LOCK_EX;
    else if (share == fmShareDenyWrite)
        lock = LOCK_SH;
    else if (share == fmShareDenyRead)
        lock = LOCK_EX;
    if (lock && ::flock(fd_, lock | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(
            "Impossibile aprire il file \"" + fileName + "\": il file è in uso da un altro processo",
            EWOULDBLOCK);
    }
}

bool TFileStream::FlushToDisk() { return ::fsync(fd_) == 0; }

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

void TFileStream::DropReadBuffer() {
    // The file position is ahead of the reader by what the buffer still holds.
    if (bufferLen_ > bufferPos_) {
        ::lseek(fd_, -static_cast<off_t>(bufferLen_ - bufferPos_), SEEK_CUR);
        filePos_ -= static_cast<int64_t>(bufferLen_ - bufferPos_);
    }
    bufferPos_ = bufferLen_ = 0;
}

namespace {
int ReadAll(int fd, char* p, int count) {
    int total = 0;
    while (total < count) {
        ssize_t n = ::read(fd, p + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<int>(n);
    }
    return total;
}
constexpr size_t kReadBuffer = 64 * 1024;
}  // namespace

int TFileStream::Read(void* buffer, int count) {
    if (count <= 0) return 0;
    char* p = static_cast<char*>(buffer);
    int total = 0;
    while (total < count) {
        if (bufferPos_ < bufferLen_) {
            size_t n = std::min<size_t>(bufferLen_ - bufferPos_, static_cast<size_t>(count - total));
            std::memcpy(p + total, buffer_.data() + bufferPos_, n);
            bufferPos_ += n;
            total += static_cast<int>(n);
            continue;
        }
        if (static_cast<size_t>(count - total) >= kReadBuffer) {
            const int n = ReadAll(fd_, p + total, count - total);
            filePos_ += n;
            return total + n;
        }
        buffer_.resize(kReadBuffer);
        bufferPos_ = 0;
        const size_t fill = std::min(nextFill_, kReadBuffer);
        nextFill_ = std::min(fill * 2, kReadBuffer);
        bufferLen_ = static_cast<size_t>(ReadAll(fd_, buffer_.data(), static_cast<int>(fill)));
        filePos_ += static_cast<int64_t>(bufferLen_);
        if (bufferLen_ == 0) break;
    }
    return total;
}

int TFileStream::Write(const void* buffer, int count) {
    if (count <= 0) return 0;
    DropReadBuffer();
    int total = 0;
    const char* p = static_cast<const char*>(buffer);
    while (total < count) {
        ssize_t n = ::write(fd_, p + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<int>(n);
    }
    filePos_ += total;
    return total;
}

int64_t TFileStream::Size() {
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == soFromBeginning ? SEEK_SET : origin == soFromCurrent ? SEEK_CUR : SEEK_END;
    if (origin == soFromCurrent && offset == 0)  // Position(): keep the buffer
        return filePos_ - static_cast<int64_t>(bufferLen_ - bufferPos_);
    if (origin == soFromBeginning && bufferLen_ > 0) {
        // A place within what the buffer holds is reached without reading again.
        const int64_t start = filePos_ - static_cast<int64_t>(bufferLen_);
        if (offset >= start && offset <= filePos_) {
            bufferPos_ = static_cast<size_t>(offset - start);
            return offset;
        }
    }
    DropReadBuffer();
    nextFill_ = 4096;
    off_t r = ::lseek(fd_, offset, whence);
    if (r >= 0) filePos_ = r;
    return r < 0 ? -1 : r;
}

void TFileStream::Truncate() {
    DropReadBuffer();
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0 || ::ftruncate(fd_, pos) != 0)
        throw EWriteError("Impossibile troncare il file \"" + fileName_ + "\"");
}

int TMemoryStream::Read(void* buffer, int count) {
    if (count <= 0 || pos_ >= static_cast<int64_t>(data_.size())) return 0;
    int64_t n = std::min<int64_t>(count, static_cast<int64_t>(data_.size()) - pos_);
    std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return static_cast<int>(n);
}

int TMemoryStream::Write(const void* buffer, int count) {
    if (count <= 0) return 0;
    if (pos_ + count > static_cast<int64_t>(data_.size())) data_.resize(static_cast<size_t>(pos_ + count));
    std::memcpy(&data_[static_cast<size_t>(pos_)], buffer, static_cast<size_t>(count));
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soFromBeginning ? 0
                   : origin == soFromCurrent ? pos_
                                             : static_cast<int64_t>(data_.size());
    int64_t p = base + offset;
    if (p < 0) return -1;
    pos_ = p;
    return pos_;
}
