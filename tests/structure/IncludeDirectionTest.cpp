// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Dependencies point one way. At the bottom: fold (no Qt), media (Qt Core and Gui) and settings
// (Qt Core, and Qt Gui's colours, which the preferences hold). Above them render over fold, then
// document over render and media; window and cli beside each other over document, and app on top.
// A file may include project headers from its own folder and from the folders below it only.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct FolderRule {
    std::set<std::string> folders; // project folders it may include, its own among them
    std::set<std::string> qtModules;
    std::set<std::string> qtGuiHeaders; // when not all of Qt Gui
};

const std::set<std::string> anyModule = {"Core", "Gui", "other"};

const std::map<std::string, FolderRule> rules = {
    {"fold", {{"fold"}, {}, {}}},
    {"media", {{"media"}, {"Core", "Gui"}, {}}},
    {"settings", {{"settings"}, {"Core"}, {"QColor"}}},
    {"render", {{"render", "fold"}, anyModule, {}}},
    {"document", {{"document", "render", "media", "fold", "settings"}, {"Core", "Gui"}, {}}},
    {"window", {{"window", "document", "render", "media", "fold", "settings"}, anyModule, {}}},
    {"cli", {{"cli", "document", "render", "media", "fold", "settings"}, {"Core", "Gui"}, {}}},
    {"app",
     {{"app", "window", "cli", "document", "render", "media", "fold", "settings"}, anyModule, {}}},
};

struct Include {
    std::string file;
    std::string header;
    bool quoted = true;
};

std::vector<Include> includesBelow(const fs::path& folder) {
    static const std::regex include(R"re(^\s*#\s*include\s*(["<])([^">]+)[">])re");
    std::vector<Include> includes;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp")
            continue;
        std::ifstream file(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(file, line)) {
            if (std::regex_search(line, match, include))
                includes.push_back({entry.path().string(), match[2], match[1] == "\""});
        }
    }
    return includes;
}

// "window/DocumentWindow.h" -> "window"; a header named without its folder gives "".
std::string folderOf(const std::string& header) {
    const auto slash = header.find('/');
    return slash == std::string::npos ? std::string() : header.substr(0, slash);
}

// <QImage> -> "Gui", <QString> -> "Core", <QWidget> -> "other"; "" for headers outside Qt.
std::string qtModuleOf(const std::string& header) {
    const bool qt = header.size() > 1 && header[0] == 'Q' &&
                    (std::isupper(static_cast<unsigned char>(header[1])) || header[1] == 't');
    if (!qt)
        return {};
    if (fs::exists(fs::path(PLEATORA_QT_CORE_DIR) / header))
        return "Core";
    if (fs::exists(fs::path(PLEATORA_QT_GUI_DIR) / header))
        return "Gui";
    return "other";
}

// Why a file in folder may not include that header; empty when it may.
std::string violation(const std::string& folder, const Include& include) {
    const FolderRule& rule = rules.at(folder);
    if (include.quoted) {
        if (include.header.rfind("ui_", 0) == 0) // made by Qt's user-interface compiler
            return {};
        const std::string target = folderOf(include.header);
        if (target.empty())
            return "names no folder";
        if (!rule.folders.contains(target))
            return "comes from " + target + "/, which " + folder + "/ may not include";
        return {};
    }
    const std::string module = qtModuleOf(include.header);
    if (module.empty() || rule.qtModules.contains(module))
        return {};
    if (module == "Gui" && rule.qtGuiHeaders.contains(include.header))
        return {};
    return "is Qt " + module + ", which " + folder + "/ may not use";
}

TEST(IncludeDirection, TheRulesRefuseIncludesAgainstTheOrder) {
    struct Case {
        std::string folder;
        Include include;
        bool allowed;
    };
    const std::vector<Case> cases = {
        {"fold", {"", "fold/FoldModel.h"}, true},
        {"fold", {"", "render/SheetRenderer.h"}, false},
        {"fold", {"", "QString", false}, false},
        {"fold", {"", "cmath", false}, true},
        {"media", {"", "QImage", false}, true},
        {"media", {"", "document/Document.h"}, false},
        {"media", {"", "fold/FoldTypes.h"}, false},
        {"media", {"", "render/SheetRenderer.h"}, false},
        {"media", {"", "QWidget", false}, false},
        {"settings", {"", "QSettings", false}, true},
        {"settings", {"", "QColor", false}, true},
        {"settings", {"", "QImage", false}, false},
        {"render", {"", "media/PathText.h"}, false},
        {"document", {"", "media/PictureReader.h"}, true},
        {"document", {"", "window/DocumentWindow.h"}, false},
        {"document", {"", "QWidget", false}, false},
        {"cli", {"", "window/DocumentController.h"}, false},
        {"cli", {"", "app/ApplicationController.h"}, false},
        {"cli", {"", "QApplication", false}, false},
        {"cli", {"", "document/FoldFile.h"}, true},
        {"window", {"", "cli/ExportPlan.h"}, false},
        {"app", {"", "cli/CommandLine.h"}, true},
        {"app", {"", "DocumentWindow.h"}, false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(violation(test.folder, test.include).empty(), test.allowed)
            << test.folder << "/ including " << test.include.header;
}

TEST(IncludeDirection, EveryIncludeNamesAFolderAtOrBelowItsOwnAndItsQtModules) {
    size_t checked = 0;
    for (const auto& [folder, rule] : rules) {
        for (const Include& include : includesBelow(fs::path(PLEATORA_SOURCE_DIR) / folder)) {
            ++checked;
            const std::string why = violation(folder, include);
            EXPECT_TRUE(why.empty())
                << include.file << " includes " << include.header << ": " << why;
        }
    }
    // The walk found the sources.
    EXPECT_GT(checked, 500u);
}

} // namespace
