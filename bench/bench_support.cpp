#include "bench_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

namespace quillarbor::bench {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quillarbor-bench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    path_ = buffer.data();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void useScratchSettings(const fs::path& root) {
    fs::create_directories(root / "config");
    fs::create_directories(root / "xdg");
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root / "xdg").c_str(), 1);
}

fs::path userStoreFile() {
    const char* home = std::getenv("XDG_CONFIG_HOME");
    if (home == nullptr || *home == '\0') {
        throw std::runtime_error("useScratchSettings first");
    }
    return fs::path(home) / "quillarbor" / "user.reg";
}

void writeStore(int extraValues, const std::string& skinFolder) {
    std::string text = "REGEDIT4\n\n";
    const auto key = [&text](std::string_view path) {
        text += "[HKEY_CURRENT_USER\\";
        text += path;
        text += "]\n";
    };
    const auto value = [&text](std::string_view name, std::string_view data) {
        text += '"';
        text += name;
        text += "\"=\"";
        text += data;
        text += "\"\n";
    };
    if (!skinFolder.empty()) {
        key("Software\\Quillarbor\\path");
        value("String", skinFolder);
        text += "\n";
    }
    key("Software\\Quillarbor\\delay");
    value("String", "60");
    text += "\n";
    key("Software\\Quillarbor\\systray");
    value("String", "False");
    text += "\n";
    // Twenty values to a key, as exported registry branches tend to hold.
    for (int i = 0; i < extraValues; ++i) {
        if (i % 20 == 0) {
            text += "\n";
            key("Software\\Bench\\Branch" + std::to_string(i / 20));
        }
        value("Value" + std::to_string(i), "some text of value " + std::to_string(i));
    }
    const fs::path file = userStoreFile();
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

void writeBitmap(const fs::path& file, int width, int height) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<unsigned char> bytes(54 + pixelBytes);
    const auto put16 = [&bytes](std::size_t at, std::uint32_t v) {
        bytes[at] = static_cast<unsigned char>(v);
        bytes[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xffff);
        put16(at + 2, v >> 16);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, pixelBytes);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* px = &bytes[54 + static_cast<std::size_t>(y) * rowBytes +
                                       static_cast<std::size_t>(x) * 3];
            px[0] = static_cast<unsigned char>(x * 255 / width);
            px[1] = static_cast<unsigned char>(y * 255 / height);
            px[2] = 0x80;
        }
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void makeSkinFolder(const fs::path& folder, int count) {
    static constexpr const char* kWords[] = {"Sunset", "meadow",  "OCEAN", "forest",
                                             "Dusk",   "stripes", "River", "hill"};
    fs::create_directories(folder);
    const fs::path seed = folder / "seed.bmp";
    writeBitmap(seed);
    char name[64];
    for (int i = 1; i < count; ++i) {
        // 7919 and the prime 1000003 share no factor, so every number differs.
        const long number = (static_cast<long>(i) * 7919) % 1000003;
        std::snprintf(name, sizeof name, "%s-%07ld.%s", kWords[i % 8], number,
                      i % 4 == 0 ? "BMP" : "bmp");
        std::error_code error;
        fs::create_hard_link(seed, folder / name, error);
        if (error) {
            fs::copy_file(seed, folder / name, fs::copy_options::overwrite_existing);
        }
        if (i % 50 == 0) {
            std::snprintf(name, sizeof name, "notes-%07ld.txt", number);
            std::ofstream(folder / name) << "not a skin\n";
        }
    }
}

ScratchFolder& scratch() {
    static ScratchFolder folder;
    return folder;
}

std::string skinFolder(int count) {
    static std::map<int, std::string> made;
    auto& folder = made[count];
    if (folder.empty()) {
        const auto path = scratch().path() / ("skins-" + std::to_string(count));
        makeSkinFolder(path, count);
        folder = path.string();
    }
    return folder;
}

} // namespace quillarbor::bench
