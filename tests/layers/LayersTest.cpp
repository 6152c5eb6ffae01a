// SPDX-License-Identifier: GPL-2.0-or-later
// The folders of the program are layers: a file may include its own folder and the folders
// below it, never one above or beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace velk {

namespace fs = std::filesystem;

namespace {

// Bottom to top; folders of one rank may not include each other.
const std::map<std::string, int> kRank = {
    {"core", 0},      {"packet", 1},   {"board", 2},      {"library", 3},    {"reply", 4},
    {"mail", 5},      {"merge", 6},    {"session", 7},    {"ui/widgets", 8}, {"ui/library", 9},
    {"ui/reply", 10}, {"ui/mail", 11}, {"ui/packet", 12}, {"ui/merge", 13},  {"ui/main", 14},
    {"app", 15},      {"cli", 15},
};
// Folders that are not layers of the product: they may use any of it.
const std::vector<std::string> kOutside = {"tests", "bench", "tools",   "fuzz", "build",
                                           "data",  "cmake", "scripts", ".git"};
const std::regex kLogicWidgetInclude(R"(#\s*include\s*<(QtWidgets|QtPrintSupport)/)");

std::string folderOf(const std::string& relative) {
    const auto slash = relative.find('/');
    if (slash == std::string::npos)
        return {};
    std::string top = relative.substr(0, slash);
    if (top != "ui")
        return top;
    const auto second = relative.find('/', slash + 1);
    return second == std::string::npos ? top : relative.substr(0, second);
}

bool outside(const std::string& relative) {
    for (const std::string& o : kOutside)
        if (relative == o || relative.rfind(o + "/", 0) == 0 || relative.rfind("build", 0) == 0)
            return true;
    return false;
}

// Every include against the order, as "file: include".
std::vector<std::string> layerViolations(const fs::path& root) {
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string relative = fs::relative(it->path(), root).generic_string();
        if (it->is_directory()) {
            if (outside(relative))
                it.disable_recursion_pending();
            continue;
        }
        const std::string ext = it->path().extension().string();
        if (ext != ".h" && ext != ".cpp")
            continue;
        const std::string folder = folderOf(relative);
        if (folder.empty())
            continue;
        const auto rank = kRank.find(folder);
        if (rank == kRank.end()) {
            found.push_back(relative + ": folder not in the layer order");
            continue;
        }
        std::ifstream in(it->path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (rank->second <= kRank.at("session") && std::regex_search(line, kLogicWidgetInclude))
                found.push_back(std::string(relative).append(": ").append(line));
            if (!std::regex_search(line, m, include))
                continue;
            const std::string target = folderOf(m[1].str());
            if (target == folder)
                continue;
            const auto targetRank = kRank.find(target);
            if (targetRank == kRank.end() || targetRank->second >= rank->second)
                found.push_back(relative + ": " + m[1].str());
        }
    }
    return found;
}

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

} // namespace

TEST(LayersTest, EveryIncludeFollowsTheLayerOrder) {
    const auto violations = layerViolations(VELK_SOURCE_DIR);
    std::string all;
    for (const std::string& v : violations)
        all += v + "\n";
    EXPECT_TRUE(violations.empty()) << all;
}

TEST(LayersTest, CatchesBackEdgesSideEdgesWidgetsInLogicAndUnknownFolders) {
    const fs::path root = fs::temp_directory_path() / "velk-layers-test";
    fs::remove_all(root);
    write(root / "packet/Good.cpp", "#include \"core/A.h\"\n#include \"packet/B.h\"\n");
    write(root / "core/Back.cpp", "#include \"packet/B.h\"\n");
    write(root / "cli/Side.cpp", "#include \"app/Program.h\"\n");
    write(root / "ui/library/Up.cpp", "#include \"ui/mail/TAffMsg.h\"\n#include \"mail/M.h\"\n");
    write(root / "mail/Widgets.cpp", "#include <QtWidgets/QDialog>\n");
    write(root / "ui/widgets/Fine.cpp", "#include <QtWidgets/QDialog>\n");
    write(root / "extra/New.cpp", "\n");
    write(root / "tests/core/AnyTest.cpp", "#include \"app/Program.h\"\n");
    auto found = layerViolations(root);
    std::sort(found.begin(), found.end());
    const std::vector<std::string> expected = {
        "cli/Side.cpp: app/Program.h",
        "core/Back.cpp: packet/B.h",
        "extra/New.cpp: folder not in the layer order",
        "mail/Widgets.cpp: #include <QtWidgets/QDialog>",
        "ui/library/Up.cpp: ui/mail/TAffMsg.h",
    };
    EXPECT_EQ(found, expected);
    fs::remove_all(root);
}

} // namespace velk
