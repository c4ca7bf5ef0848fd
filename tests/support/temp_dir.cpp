#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace nivra::test {

namespace {

// A UTF-8 name as a path, on every system (Windows would read a plain string in its ANSI code
// page).
std::filesystem::path pathOf(const std::string& name) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

} // namespace

TempDir::TempDir() {
    // A new folder of a random name, made only when the name is free (as mkdtemp does, on every
    // system the tests run on).
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "nivra-test-" + std::to_string(random() % 100000000u);
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) {
            path_ = (base / name).generic_string();
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const {
    return path_ + "/" + name;
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(pathOf(path), error);
}

} // namespace nivra::test
