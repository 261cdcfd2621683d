#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/open_flow.h"
#include "inspect/superfile_diff.h"
#include "model/editor_state.h"
#include "superfile/header_block.h"
#include "superfile/superfile_check.h"

namespace tavufe::cli {

// The bytes as valid UTF-8: every valid sequence is kept, every other byte becomes the
// character U+0080 to U+00FF of the same value, so nothing is dropped.
std::string utf8Text(std::string_view bytes);

// A JSON document with DEL, the C1 controls and the hidden and layout controls of its strings as
// \u escapes, so that no terminal or script acts on them; other UTF-8 stays as it is.
std::string inertJson(std::string_view document);

// Keys stay in the order they are written.
using Json = nlohmann::ordered_json;

// One document per file and command; a command given several files prints an array of them.
Json infoJson(const std::string& file, const EditorState& state,
              const std::vector<std::string>& report, const HeaderTexts& header,
              const CheckResult& check);
Json foldersJson(const std::string& file, const EditorState& state, const CheckResult& check);
Json verifyJson(const std::string& file, SuperfileEncoding type, const CheckResult& check);
// `flexOnly`: one side or both were exports, and the Flex alone was compared.
Json diffJson(const std::string& oldFile, const std::string& newFile, const SuperfileDiff& diff,
              bool flexOnly);

// The document with every string made inert, ended by a line feed.
void printJson(std::ostream& out, const Json& document);

}  // namespace tavufe::cli
