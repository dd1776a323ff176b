#pragma once
#include <string>

// Where Vellumar keeps its files. A program in a folder of its own that the user can write to (a build
// folder, an unpacked archive) is used portably: the database, backups, report and chart files and the
// settings sit beside the executable. An installed program (its folder read-only for the user, or part of
// an installed tree with "share/vellumar/" above it) keeps them in the user's folders instead:
// $XDG_DATA_HOME/vellumar/ (default ~/.local/share/vellumar/) and $XDG_CONFIG_HOME/vellumar/ (default
// ~/.config/vellumar/) for the settings. The application, the command-line tool and the market-data
// service all ask here.

// What the decision reads from the environment.
struct UserFolders {
  std::string home;        // $HOME, or the account's home folder when HOME is unset
  std::string dataHome;    // $XDG_DATA_HOME; empty when unset
  std::string configHome;  // $XDG_CONFIG_HOME; empty when unset

  static UserFolders FromEnvironment();
};

struct AppPaths {
  bool portable = true;
  std::string dataFolder;    // database, "backup/", report and chart files; with its trailing '/'
  std::string configFolder;  // the settings file; with its trailing '/'

  std::string DatabasePath() const { return dataFolder + "Vellumar.db"; }
  std::string IniPath() const { return configFolder + "vellumar.ini"; }
  // The named mappings of the import, one section each, beside the settings.
  std::string ImportProfilesPath() const { return configFolder + "import-profiles.ini"; }
  // The market-data service's folder for the user's own price files and fetched prices; empty when
  // portable, where the service keeps using the data folder beside itself.
  std::string MarketDataFolder() const { return portable ? std::string() : dataFolder + "marketdata/"; }
};

// The installed tree's data folder ("<prefix>/share/vellumar/", trailing '/') when `programFolder` is
// "<prefix>/bin/" or "<prefix>/libexec/vellumar/" of an installation; empty otherwise.
std::string FindInstalledDataFolder(const std::string& programFolder);

// The market-data service's own data (securities, the price-source preset): "data/" beside the programs,
// or the installed tree's data folder. With its trailing '/'.
std::string BundledServiceDataFolder(const std::string& programFolder);
// The folder the market-data service reads the user's price sources and history files from when started
// without --data: the bundled folder in portable use, else the user's market-data folder. Trailing '/'.
std::string ServiceDataFolder(const AppPaths& paths, const std::string& programFolder);

// The decision for a program in `programFolder` (trailing '/'). Relative XDG values are ignored, as the
// XDG base directory rules say. Nothing is created.
AppPaths DecideAppPaths(const std::string& programFolder, const UserFolders& user);

// The decision for the running executable and the process environment.
AppPaths GetAppPaths();

// Creates the data, settings and market-data folders, and their parents, when missing (new folders are
// private to the user). False with the first folder that could not be made.
[[nodiscard]] bool EnsureAppFolders(const AppPaths& paths, std::string& failedFolder);
