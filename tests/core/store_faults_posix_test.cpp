// The settings store under faults: writers killed part way, many processes at
// once, folders that do not exist yet, and files that are not a store at all.
#include "settings/regfile.h"
#include "settings/registry.h"
#include "support/temp_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <poll.h>
#include <random>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace quillarbor;

namespace {

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr std::string_view kPath = "Software\\Quillarbor\\path";

std::string fileKey(std::string_view subKey) {
    return "HKEY_CURRENT_USER\\" + std::string(subKey);
}

// Starts `body` in a child process that never returns into the test framework.
template <typename Body> pid_t spawn(Body body) {
    std::fflush(nullptr); // or buffered output would be written twice
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    return pid;
}

// The child's exit code, or 128 + the signal that ended it.
int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The store file as a document, straight from the disk; nullopt when it does not parse.
std::optional<regfile::Document> parseFile(const fs::path& file) {
    auto parsed = regfile::parse(TempConfig::readFile(file));
    if (auto* doc = std::get_if<regfile::Document>(&parsed)) {
        return std::move(*doc);
    }
    return std::nullopt;
}

// A short description of a long value for failure messages.
std::string describe(const std::string& bytes) {
    return "\"" + bytes.substr(0, 12) + "...\" (" + std::to_string(bytes.size()) + " bytes)";
}

// Size and FNV-1a hash of a file, read in pieces: compares a 70 MB file without holding it.
std::pair<std::uintmax_t, std::uint64_t> fingerprint(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {0, 0};
    }
    std::uint64_t hash = 14695981039346656037ull;
    std::uintmax_t size = 0;
    std::vector<char> buffer(1 << 16);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < n; ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
        }
        size += n;
    }
    return {size, hash};
}

long peakResidentKilobytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class StoreFaults : public ::testing::Test {
protected:
    TempConfig config;
    const fs::path store = config.userStore();
};

} // namespace

TEST_F(StoreFaults, WriterKilledAtAnyMomentLeavesTheOldOrTheNewValue) {
    unsigned seed = std::random_device{}();
    if (const char* fixed = std::getenv("QUILLARBOR_TEST_SEED")) {
        seed = static_cast<unsigned>(std::strtoul(fixed, nullptr, 10));
    }
    SCOPED_TRACE("seed " + std::to_string(seed) + " (QUILLARBOR_TEST_SEED=" + std::to_string(seed) +
                 " repeats this run)");
    std::mt19937 rng(seed);

    // Large enough that reading, writing and syncing the file take a while, and
    // different in every byte, so a mix of the two cannot pass for either.
    const std::string values[2] = {"first:" + std::string(64 * 1024, 'a'),
                                   "second:" + std::string(64 * 1024, 'b')};
    const struct {
        std::string_view key, name, data;
    } others[] = {
        {loc::settingDelay, loc::settingValue, "2.5"},
        {loc::settingSystray, loc::settingValue, "True"},
        {loc::runKey, loc::runValue, "/opt/quillarbor/quillarbor /O"},
    };
    for (const auto& other : others) {
        regSaveString(HKCU, other.key, other.name, other.data);
    }
    std::string current = values[0];
    regSaveString(HKCU, kPath, loc::settingValue, current);

    // The kills land anywhere in a whole write and a little past its end; a
    // write takes milliseconds, far longer on a slow disk, where the cap keeps
    // the test short and the kills still reach the file's writing and syncing.
    const auto started = std::chrono::steady_clock::now();
    waitFor(spawn([&] { regSaveString(HKCU, kPath, loc::settingValue, values[1]); }));
    const auto wholeWrite = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    regSaveString(HKCU, kPath, loc::settingValue, current);
    std::uniform_int_distribution<long> delayMicroseconds(
        0, std::clamp<long>(wholeWrite.count() * 6 / 5, 2000, 20000));

    constexpr int kRuns = 220;
    int replaced = 0;
    for (int run = 0; run < kRuns; ++run) {
        const std::string& next = current == values[0] ? values[1] : values[0];
        const pid_t writer = spawn([&] { regSaveString(HKCU, kPath, loc::settingValue, next); });
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(rng)));
        ::kill(writer, SIGKILL);
        waitFor(writer);

        const auto doc = parseFile(store);
        ASSERT_TRUE(doc.has_value()) << "run " << run << ": the store no longer parses";
        const backend::RawValue* value = doc->findValue(fileKey(kPath), loc::settingValue);
        ASSERT_NE(value, nullptr) << "run " << run << ": the value is gone";
        ASSERT_TRUE(value->bytes == current || value->bytes == next)
            << "run " << run << ": neither the old nor the new value: " << describe(value->bytes);
        for (const auto& other : others) {
            const backend::RawValue* kept = doc->findValue(fileKey(other.key), other.name);
            ASSERT_NE(kept, nullptr) << "run " << run << ": lost " << other.key;
            ASSERT_EQ(kept->bytes, other.data) << "run " << run;
        }
        replaced += value->bytes == next ? 1 : 0;
        current = value->bytes;
    }
    std::printf("%d of %d killed writers had already replaced the value (a write: %lld us)\n",
                replaced, kRuns, static_cast<long long>(wholeWrite.count()));
    EXPECT_EQ(regGetString(HKCU, kPath, loc::settingValue), current);

    // Killed writers leave at most one temporary file, and the next whole write takes it away.
    const std::set<std::string> allowed = {"user.reg", "user.reg.lock", "user.reg.tmp"};
    std::vector<std::string> leftOver;
    for (const auto& entry : fs::directory_iterator(store.parent_path())) {
        if (allowed.count(entry.path().filename().string()) == 0) {
            leftOver.push_back(entry.path().filename().string());
        }
    }
    EXPECT_TRUE(leftOver.empty()) << leftOver.size() << " files left behind, first "
                                  << leftOver.front();
    regSaveString(HKCU, kPath, loc::settingValue, "/skins");
    EXPECT_FALSE(fs::exists(store.string() + ".tmp"));
    EXPECT_EQ(regGetString(HKCU, kPath, loc::settingValue), "/skins");
}

TEST_F(StoreFaults, EightWritersAtOnceKeepEveryValueAndAReaderSeesOnlyWholeFiles) {
    constexpr int kWriters = 8;
    constexpr int kValues = 50;
    auto keyOf = [](int w) { return "Software\\Quillarbor\\writer" + std::to_string(w); };
    auto dataOf = [](int w, int v) {
        return "/skins/" + std::to_string(w) + "/" + std::to_string(v);
    };

    // The reader keeps going until the parent closes its end of the pipe.
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const pid_t reader = spawn([&] {
        ::close(done[1]);
        int wholeReads = 0;
        for (bool last = false; !last;) {
            struct pollfd finished {
                done[0], POLLIN, 0
            };
            last = ::poll(&finished, 1, 0) > 0;
            std::ifstream in(store, std::ios::binary);
            if (!in) {
                continue; // nothing written yet
            }
            if (!parseFile(store)) {
                ::_exit(1);
            }
            ++wholeReads;
        }
        ::_exit(wholeReads > 0 ? 0 : 2);
    });
    ::close(done[0]);

    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(spawn([&] {
            for (int v = 0; v < kValues; ++v) {
                regSaveString(HKCU, keyOf(w), "v" + std::to_string(v), dataOf(w, v));
            }
        }));
    }
    for (const pid_t writer : writers) {
        EXPECT_EQ(waitFor(writer), 0);
    }
    ::close(done[1]);
    EXPECT_EQ(waitFor(reader), 0) << "1: the reader saw a damaged file; 2: it never read one";

    for (int w = 0; w < kWriters; ++w) {
        for (int v = 0; v < kValues; ++v) {
            EXPECT_EQ(regGetString(HKCU, keyOf(w), "v" + std::to_string(v)), dataOf(w, v));
        }
    }
    EXPECT_FALSE(fs::exists(store.string() + ".bad"));
}

TEST_F(StoreFaults, MissingFoldersAreCreatedForTheOwnerOnly) {
    const fs::path first = config.root() / "new";
    const fs::path home = first / "nested" / "config";
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1); // TempConfig puts it back
    regSaveString(HKCU, kPath, loc::settingValue, "/skins");
    EXPECT_EQ(regGetString(HKCU, kPath, loc::settingValue), "/skins");

    for (const fs::path& dir : {first, first / "nested", home, home / "quillarbor"}) {
        struct stat st {};
        ASSERT_EQ(::stat(dir.c_str(), &st), 0) << dir;
        EXPECT_TRUE(S_ISDIR(st.st_mode)) << dir;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << dir;
    }
    struct stat st {};
    ASSERT_EQ(::stat((home / "quillarbor" / "user.reg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(StoreFaults, DamagedFilesAreKeptAsideUntouchedAndTheStoreStartsEmpty) {
    const std::string valid = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"
                              "\"String\"=\"/skins/from/the/file\"\n";
    auto write = [](const std::string& text) {
        return [text](const fs::path& file) { TempConfig::writeFile(file, text); };
    };
    std::string random(4096, '\0');
    std::mt19937 rng(20240611);
    std::generate(random.begin(), random.end(), [&] { return static_cast<char>(rng()); });
    std::string utf16 = "\xFF\xFE";
    for (const char c : valid) {
        utf16 += c;
        utf16 += '\0';
    }
    // Over the 64 MiB the store accepts: a valid store whose last line is a
    // comment padded with a hole, so reading it whole would find the value.
    auto huge = [&valid](const fs::path& file) {
        TempConfig::writeFile(file, valid + ";");
        fs::resize_file(file, 70u * 1024 * 1024);
        std::fstream(file, std::ios::binary | std::ios::in | std::ios::out | std::ios::ate) << "\n";
    };

    const struct {
        const char* label;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"empty", write("")},
        {"random bytes", write(random)},
        {"zero bytes", write(std::string(4096, '\0'))},
        {"a line cut in half", write(valid.substr(0, valid.find("/from")))},
        {"UTF-16 with a byte-order mark", write(utf16)},
        {"huge", huge},
    };
    std::vector<std::pair<fs::path, std::pair<std::uintmax_t, std::uint64_t>>> keptAside;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        c.make(store);
        const auto original = fingerprint(store);

        // The first read happens in a child, so a crash ends only the child and
        // its peak memory shows whether the file was loaded.
        ::testing::internal::CaptureStderr();
        const int firstRead = waitFor(spawn([] {
            const long before = peakResidentKilobytes();
            const std::string value = regGetString(HKCU, kPath, loc::settingValue);
            const long grown = peakResidentKilobytes() - before;
            ::_exit(!value.empty() ? 1 : grown > 32 * 1024 ? 2 : 0);
        }));
        const std::string secondRead = regGetString(HKCU, kPath, loc::settingValue);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(firstRead, 0) << "1: a value was read; 2: the file was loaded; else it crashed";
        EXPECT_EQ(secondRead, "");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

        const std::size_t n = keptAside.size();
        const fs::path aside = store.string() + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        EXPECT_EQ(fingerprint(aside), original) << aside;
        keptAside.emplace_back(aside, original);

        regSaveString(HKCU, kPath, loc::settingValue, std::string("/after ") + c.label);
        EXPECT_EQ(regGetString(HKCU, kPath, loc::settingValue), std::string("/after ") + c.label);
    }
    for (const auto& [aside, original] : keptAside) {
        EXPECT_EQ(fingerprint(aside), original) << aside << " changed later";
    }
}

TEST_F(StoreFaults, TenThousandKeysAllSurviveReadsAndWrites) {
    constexpr int kKeys = 10000;
    auto keyOf = [](int k) { return "Software\\Quillarbor\\many\\k" + std::to_string(k); };
    std::string text = "REGEDIT4\n\n";
    for (int k = 0; k < kKeys; ++k) {
        text += "[" + fileKey(keyOf(k)) + "]\n\"String\"=\"value " + std::to_string(k) + "\"\n\n";
    }
    TempConfig::writeFile(store, text);

    EXPECT_EQ(regGetString(HKCU, keyOf(0), "String"), "value 0");
    EXPECT_EQ(regGetString(HKCU, keyOf(kKeys - 1), "string"), "value 9999");
    regSaveString(HKCU, keyOf(4321), "String", "changed");
    regSaveString(HKCU, kPath, loc::settingValue, "/skins");

    const auto doc = parseFile(store);
    ASSERT_TRUE(doc.has_value());
    for (int k = 0; k < kKeys; ++k) {
        const backend::RawValue* value = doc->findValue(fileKey(keyOf(k)), "String");
        ASSERT_NE(value, nullptr) << keyOf(k);
        EXPECT_EQ(value->bytes, k == 4321 ? "changed" : "value " + std::to_string(k));
    }
    EXPECT_EQ(regGetString(HKCU, kPath, loc::settingValue), "/skins");
    EXPECT_FALSE(fs::exists(store.string() + ".bad"));
}
