#pragma once
// Objects, string lists and streams.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sysutils.h"

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TOperation { opInsert, opRemove };

// A component owns the components created with it as owner and frees them
// when it is freed.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_[index]; }
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    TComponent* FindComponent(const AnsiString& name) const;

    AnsiString Name;
    intptr_t Tag = 0;

    // Both components learn (Notification with opRemove) when the other is
    // freed, so that neither keeps a pointer to a freed one.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

protected:
    virtual void Notification(TComponent* /*component*/, TOperation /*operation*/) {}

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of texts, each with an optional object pointer (never owned).
class TStringList : public TObject {
public:
    TStringList() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    // Add keeps a sorted list sorted; duplicates follow Duplicates.
    int Add(const AnsiString& s);
    int AddObject(const AnsiString& s, TObject* object);
    void Insert(int index, const AnsiString& s);
    void InsertObject(int index, const AnsiString& s, TObject* object);
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    int IndexOf(const AnsiString& s) const;  // case-insensitive, as the class library
    int IndexOfObject(const TObject* object) const;
    // Binary search of a sorted list; index is where s is or would go.
    bool Find(const AnsiString& s, int& index) const;
    void Sort();
    void Assign(const TStringList& other);
    void AddStrings(const TStringList& other);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates = dupIgnore;
    bool CaseSensitive = false;

    const AnsiString& Strings(int index) const;
    void SetStrings(int index, const AnsiString& s);
    AnsiString& operator[](int index);
    const AnsiString& operator[](int index) const { return Strings(index); }
    TObject* Objects(int index) const;
    void SetObjects(int index, TObject* object);

    // Lines joined with CR LF, each line ended; SetText splits on CR LF, LF or CR.
    AnsiString Text() const;
    void SetText(const AnsiString& text);
    AnsiString CommaText() const;

    TNotifyEvent OnChange;

    // What the change OnChange reports did: lines from Index on, Removed of
    // them, gave way to Inserted lines. Sorting, exchanging, assigning or
    // setting the whole text reads as every line replaced.
    struct TEdit {
        int Index = 0;
        int Removed = 0;
        int Inserted = 0;
    };
    const TEdit& LastEdit() const { return lastEdit_; }

private:
    struct Item {
        AnsiString text;
        TObject* object = nullptr;
    };
    int Compare(const AnsiString& a, const AnsiString& b) const;
    void Changed(TEdit edit);
    void ChangedWhole(int before);
    std::vector<Item> items_;
    TEdit lastEdit_;
    bool sorted_ = false;
};

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
public:
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    // Raise EReadError / EWriteError when fewer bytes move than asked.
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
    virtual int64_t Size();
};

// Mode words of the class library: an access mode ORed with a share mode,
// or fmCreate alone.
enum : unsigned short {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};

// A file opened by name and mode. Share modes are advisory locks: exclusive
// for fmShareExclusive and fmCreate, shared for fmShareDenyWrite; a lock held
// elsewhere makes the open fail with EFOpenError (EFCreateError for fmCreate).
class TFileStream : public TStream {
public:
    TFileStream(const AnsiString& fileName, unsigned short mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // The file's size, asked of the system: the read buffer stays.
    int64_t Size() override;
    // Cuts or extends the file at the current position.
    void Truncate();
    // Waits until what was written is on the disk; false when it cannot be.
    bool FlushToDisk();
    const AnsiString& FileName() const { return fileName_; }

private:
    // Reads go through a buffer: records are read a few bytes at a time.
    // Writes go straight to the file so that a failed write is seen by the
    // writer, never lost in a later flush.
    void DropReadBuffer();
    AnsiString fileName_;
    int fd_ = -1;
    std::vector<char> buffer_;
    size_t bufferPos_ = 0;
    size_t bufferLen_ = 0;
    // Bytes the next refill reads: small after a jump (a library entry read
    // by its code), doubling while the reads go on in order.
    size_t nextFill_ = 4096;
    // The offset of the open file, kept here so that asking for the position
    // costs no call to the system.
    int64_t filePos_ = 0;
};

// A stream over bytes in memory (tests, fuzzing, building records).
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    const std::string& Bytes() const { return data_; }
    void Clear() {
        data_.clear();
        pos_ = 0;
    }

private:
    std::string data_;
    int64_t pos_ = 0;
};
