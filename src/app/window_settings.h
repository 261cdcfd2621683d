#pragma once

namespace tavufe {

// The keys of what the window keeps between runs.
inline constexpr const char* kSettingsGeometry = "geometry";
inline constexpr const char* kSettingsOpenFolder = "openFolder";
inline constexpr const char* kSettingsSaveFolder = "saveFolder";
inline constexpr const char* kSettingsRecentFiles = "recentFiles";
inline constexpr const char* kSettingsFolderColumns = "folderColumns";
inline constexpr const char* kSettingsCodeGroupColumns = "codeGroupColumns";

}  // namespace tavufe
