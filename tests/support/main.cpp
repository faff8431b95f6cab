// Test entry: every test process gets its own empty settings file, so that no
// test reads or writes the user's settings, and its own documents and data
// folders, which the program makes when they are missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    std::string dir = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/ordivex-test-" +
                      std::to_string(::getpid());
    std::string settings = dir + "/settings";
    ::mkdir(dir.c_str(), 0700);
    setenv("ORDIVEX_VARNE_SETTINGS", settings.c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (dir + "/Documenti").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/dati").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    std::string cleanup = "rm -rf '" + dir + "'";
    (void)std::system(cleanup.c_str());
    return rc;
}
