#include "platform/classes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/registry.h"

namespace {

std::string TempPath(const std::string& name) {
    return std::string(std::getenv("ORDIVEX_VARNE_SETTINGS")) + "." + name;
}

TEST(StringList, SortedIgnoresDuplicatesAndFinds) {
    TStringList l;
    l.SetSorted(true);
    l.Add("Testa");
    l.Add("rete");
    l.Add("Amplificatore");
    EXPECT_EQ(l.Add("RETE"), 1);  // already there, case-insensitive
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], "Amplificatore");
    EXPECT_EQ(l[2], "Testa");
    int index = -1;
    EXPECT_FALSE(l.Find("Derivatore", index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(l.IndexOf("testa"), 2);
    EXPECT_THROW(l.Delete(3), Exception);
}

TEST(StringList, TextAndObjects) {
    TStringList l;
    TObject a;
    l.AddObject("uno", &a);
    l.Add("due");
    l.Insert(0, "zero");
    EXPECT_EQ(l.Text(), "zero\r\nuno\r\ndue\r\n");
    EXPECT_EQ(l.Objects(1), &a);
    EXPECT_EQ(l.IndexOfObject(&a), 1);
    int changes = 0;
    l.OnChange = [&](TObject*) { ++changes; };
    l.SetText("a\r\nb\nc");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l[2], "c");
    EXPECT_EQ(changes, 1);
}

TEST(Components, OwnedAreFreedWithOwner) {
    static int alive = 0;
    struct Counted : TComponent {
        explicit Counted(TComponent* o) : TComponent(o) { ++alive; }
        ~Counted() override { --alive; }
    };
    {
        TComponent owner;
        auto* a = new Counted(&owner);
        new Counted(a);
        auto* c = new Counted(&owner);
        c->Name = "Terzo";
        EXPECT_EQ(owner.FindComponent("terzo"), c);
        delete a;  // frees its own child, leaves the owner's list
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(owner.ComponentCount(), 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(FileStream, ReadWriteSeekAndErrors) {
    std::string path = TempPath("stream");
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer("abcdef", 6);
        EXPECT_EQ(f.Size(), 6);
    }
    {
        TFileStream f(path, fmOpenRead | fmShareDenyWrite);
        char buf[4] = {};
        f.SetPosition(2);
        f.ReadBuffer(buf, 3);
        EXPECT_EQ(std::string(buf, 3), "cde");
        EXPECT_THROW(f.ReadBuffer(buf, 4), EReadError);  // only one byte left
    }
    EXPECT_THROW(TFileStream(path + ".missing", fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream("/nonexistent-dir/x", fmCreate), EFCreateError);
}

TEST(FileStream, BufferedReadsStayInStepWithSeeksAndWrites) {
    std::string path = TempPath("buffered");
    std::string data;
    for (int i = 0; i < 200000; ++i) data += static_cast<char>('a' + i % 26);
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer(data.data(), static_cast<int>(data.size()));
    }
    TFileStream f(path, fmOpenReadWrite | fmShareExclusive);
    char b[8];
    f.ReadBuffer(b, 3);
    EXPECT_EQ(f.Position(), 3);
    f.ReadBuffer(b, 2);
    EXPECT_EQ(std::string(b, 2), data.substr(3, 2));
    f.WriteBuffer("XY", 2);  // lands right after what was read
    EXPECT_EQ(f.Position(), 7);
    f.SetPosition(4);
    f.ReadBuffer(b, 4);
    EXPECT_EQ(std::string(b, 4), data.substr(4, 1) + "XY" + data.substr(7, 1));
    std::string big(150000, 0);
    f.SetPosition(1000);
    f.ReadBuffer(big.data(), static_cast<int>(big.size()));  // larger than the buffer
    EXPECT_EQ(big, data.substr(1000, 150000));
    f.SetPosition(static_cast<int64_t>(data.size()) - 2);
    EXPECT_EQ(f.Read(b, 8), 2);
    EXPECT_EQ(f.Size(), static_cast<int64_t>(data.size()));
}

TEST(FileStream, ShareModesLockAcrossOpens) {
    std::string path = TempPath("locks");
    { TFileStream f(path, fmCreate); }
    {
        TFileStream reader1(path, fmOpenRead | fmShareDenyWrite);
        TFileStream reader2(path, fmOpenRead | fmShareDenyWrite);  // shared readers coexist
        EXPECT_THROW(TFileStream(path, fmOpenReadWrite | fmShareExclusive), EFOpenError);
    }
    {
        TFileStream exclusive(path, fmOpenRead | fmShareExclusive);
        EXPECT_THROW(TFileStream(path, fmOpenRead | fmShareDenyWrite), EFOpenError);
        // Another process is refused as well.
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            try {
                TFileStream other(path, fmOpenRead | fmShareExclusive);
                _exit(0);
            } catch (const EFOpenError&) {
                _exit(3);
            }
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 3);
    }
    TFileStream again(path, fmOpenReadWrite | fmShareExclusive);  // free once closed
}

TEST(MemoryStream, BehavesAsAStream) {
    TMemoryStream m;
    m.WriteBuffer("xyz", 3);
    m.SetPosition(1);
    char c;
    m.ReadBuffer(&c, 1);
    EXPECT_EQ(c, 'y');
    m.SetPosition(5);
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.Bytes(), std::string("xyz\0\0!", 6));
}

TEST(SettingsStore, RoundTripsOddValuesThroughTheFile) {
    TRegIniFile reg("Software\\Varne\\OrdivexVarne");
    EXPECT_EQ(reg.FilePath(), std::getenv("ORDIVEX_VARNE_SETTINGS"));
    reg.WriteString("", "Multi", "riga uno\nriga due\\fine\r");
    reg.WriteString("", "a=b", "x=y");
    reg.WriteString("", "Vuoto", "");
    TRegIniFile again("Software\\Varne\\OrdivexVarne");
    EXPECT_EQ(again.ReadString("", "Multi", "?"), "riga uno\nriga due\\fine\r");
    EXPECT_EQ(again.ReadString("", "a=b", "?"), "x=y");
    EXPECT_EQ(again.ReadString("", "Vuoto", "?"), "");
    EXPECT_EQ(again.ReadString("", "Manca", "def"), "def");
    EXPECT_TRUE(again.ValueExists("Vuoto"));
    again.DeleteKey("", "Vuoto");
    EXPECT_FALSE(reg.ValueExists("Vuoto"));
}

// A store keeps what it read from the file, but another instance of the
// program or an editor may change the file at any time: every read sees the
// file as it is, even rewritten in place to the same size.
TEST(SettingsStore, ReadsSeeTheFileAsItIsNow) {
    const std::string path = TRegIniFile::PathForKey("Software\\Varne\\Cambi");
    TRegIniFile reg("Software\\Varne\\Cambi");
    TRegIniFile other("Software\\Varne\\Cambi");
    other.WriteString("", "Valore", "1");
    EXPECT_EQ(reg.ReadString("", "Valore", "?"), "1");
    other.WriteString("", "Valore", "2");
    EXPECT_EQ(reg.ReadString("", "Valore", "?"), "2");
    struct Rewrite {
        const char* bytes;
        const char* value;
    };
    for (const Rewrite& r :
         {Rewrite{"Valore=3\n", "3"}, Rewrite{"Valore=4\n", "4"}, Rewrite{"Altro=45\n", "?"}}) {
        SCOPED_TRACE(r.bytes);
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f << r.bytes;
        f.close();
        EXPECT_EQ(reg.ReadString("", "Valore", "?"), r.value);
    }
    std::filesystem::remove(path);
    EXPECT_EQ(reg.ReadString("", "Altro", "?"), "?");
    EXPECT_FALSE(reg.ValueExists("Altro"));
}

TEST(SettingsStore, DamagedFileGivesEmptyValues) {
    std::string path = TRegIniFile::PathForKey("Software\\Varne\\Prova");
    {
        TFileStream f(path, fmCreate);
        const char junk[] = "\x01\x02 no separator here\n\xff\xfe=\n==\nBuono=1\n";
        f.WriteBuffer(junk, sizeof junk - 1);
    }
    TRegIniFile reg("Software\\Varne\\Prova");
    EXPECT_EQ(reg.ReadString("", "Buono", ""), "1");
    EXPECT_EQ(reg.ReadString("", "Altro", ""), "");
    reg.WriteString("", "Nuovo", "2");  // writing over a damaged file works
    EXPECT_EQ(reg.ReadString("", "Nuovo", ""), "2");
}

TEST(Application, ScriptedMessageBoxesAreRecordedAndAnswered) {
    Application->Script().Reset();
    Application->Script().AnswerMessageBox(IDNO);
    EXPECT_EQ(Application->MessageBox("Salvare?", "Ordivex Varne", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(Application->MessageBox("Fatto", "", MB_OK | MB_ICONEXCLAMATION),
              IDOK);  // default: first button
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 2u);
    const TMessageBoxCall& first = Application->Script().MessageBoxes[0];
    EXPECT_EQ(first.Text, "Salvare?");
    EXPECT_EQ(first.Caption, "Ordivex Varne");
    EXPECT_EQ(first.Flags, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(Application->Script().MessageBoxes[1].Flags, 48);
    Application->Script().Reset();
}

TEST(ListBox, ItemsTakeLines) {
    TListBox box;
    box.Items->Add("uno");
    box.Items->Add("due");
    EXPECT_EQ(box.Items->Count(), 2);
}

}  // namespace
