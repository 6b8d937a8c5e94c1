// Saving over a good file never leaves less than a whole file: a saving process killed at
// random moments, a write refused at every point of the file (a full disk) and a folder
// that cannot be written all leave the old file exactly as it was, or the new one complete.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "CXmlDocument.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A profile-sized document and then some: 174 keys with nested lists, padded to about 2 MB
// so that a save takes long enough to be killed in the middle.
std::u16string bigDocument(char16_t version) {
    std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KelvaneX30 V=\"";
    text += version;
    text += u"\">\r\n<CurrentSettings>\r\n";
    for (int key = 0; key < 174 * 40; ++key) {
        text += u"<KEY ID=\"" + std::u16string(1, char16_t(u'0' + key % 10)) +
                u"\" Level=\"1\"><ComboKey><List SizeOfView=\"6\"><x ID=\"0\" t1=\"";
        text += std::u16string(160, version);
        text += u"\"/></List></ComboKey></KEY>\r\n";
    }
    return text + u"</CurrentSettings>\r\n</KelvaneX30>\r\n";
}

class CrashSafeSave : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kx30-save-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / "profile.pro";
        CXmlDocument oldDoc(bigDocument(u'o'));
        ASSERT_TRUE(oldDoc.SaveFile(file));
        oldBytes = readAll(file);
        newDoc.SetDocumentText(bigDocument(u'n'));
        ASSERT_FALSE(oldBytes.empty());
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    // Saves newDoc in a child process prepared by `setup`; the child's exit code is the
    // save's status (0 for success), or -1 when it did not exit normally.
    template <typename Setup>
    int saveInChild(Setup setup) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            setup();
            _exit(static_cast<int>(newDoc.SaveFile(file).status));
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path dir, file;
    std::string oldBytes;
    CXmlDocument newDoc;
};

TEST_F(CrashSafeSave, KilledAtRandomMomentsLeavesOldOrNewFile) {
    // How long one save takes here, to spread the kills over it.
    const auto start = Clock::now();
    ASSERT_EQ(saveInChild([] {}), 0);
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    const std::string newBytes = readAll(file);
    ASSERT_NE(newBytes, oldBytes);

    std::mt19937 rng(12345);
    std::uniform_int_distribution<long> delay(0, saveTime.count() * 3 / 2);
    constexpr int kRounds = 80;
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < kRounds; ++round) {
        // Put the old file back, so every kill interrupts the replacing of a good file.
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << oldBytes;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            const bool ok = static_cast<bool>(newDoc.SaveFile(file));
            _exit(ok ? 0 : 1);
        }
        ::usleep(static_cast<useconds_t>(delay(rng)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::string now = readAll(file);
        if (now == oldBytes) {
            ++sawOld;
        } else if (now == newBytes) {
            ++sawNew;
        } else {
            FAIL() << "round " << round << ": the file holds " << now.size() << " bytes, neither the old "
                   << oldBytes.size() << " nor the new " << newBytes.size();
        }
    }
    // A killed save leaves its temporary file beside the file until the next save to it,
    // which works and takes away every leftover.
    auto leftovers = [&] {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path() != file) ++n;
        return n;
    };
    const int leftBehind = leftovers();
    ASSERT_TRUE(newDoc.SaveFile(file));
    EXPECT_EQ(readAll(file), newBytes);
    EXPECT_EQ(leftovers(), 0);
    std::printf("save of %zu bytes takes %lld us; %d kills: %d left the old file, %d the new one, "
                "%d temporary files left behind before the next save\n",
                newBytes.size(), static_cast<long long>(saveTime.count()), kRounds, sawOld, sawNew, leftBehind);
    EXPECT_EQ(sawOld + sawNew, kRounds);
}

TEST_F(CrashSafeSave, FullDiskAtEveryPointKeepsOldFile) {
    // RLIMIT_FSIZE makes the write that crosses the limit fail as a full disk does.
    const std::size_t size = newDoc.GetDocumentText().size();  // the UTF-8 file is about this big
    std::vector<rlim_t> limits = {0, 1, 38, 4095, 4096, 4097, 65536};
    for (std::size_t at = 100000; at < size; at += 150001) limits.push_back(at);
    limits.push_back(size - 40);
    for (const rlim_t limit : limits) {
        const int status = saveInChild([limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit r{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &r);
        });
        EXPECT_EQ(status, static_cast<int>(xml::XmlStatus::WriteFailed)) << "limit " << limit;
        EXPECT_EQ(readAll(file), oldBytes) << "limit " << limit;
    }
    // Nothing half-written is left beside it either.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir)) entries += entry.path() != file;
    EXPECT_EQ(entries, 0);
}

TEST_F(CrashSafeSave, ReadOnlyFolderKeepsOldFile) {
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const int status = saveInChild([] {
        // The superuser writes anywhere: save as nobody instead.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(100);
    });
    EXPECT_EQ(status, static_cast<int>(xml::XmlStatus::OpenFailed));
    EXPECT_EQ(readAll(file), oldBytes);
}

}  // namespace
