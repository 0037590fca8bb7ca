// The fetch tool's application object: its five settings and its retrieval.
#pragma once

#include <string>

namespace fetch {

class FetchApp {
 public:
  // Logs in, downloads ftpFileName to the temporary file beside the
  // executable and copies it over localFileName, logging every outcome.
  void FetchAndInstall();

  // The application's name, the executable's file name without extension;
  // the Internet session carries it as its agent name.
  std::string AppName() const;

  std::string ftpAddress;
  std::string ftpUserId;
  std::string ftpPassword;
  std::string ftpFileName;
  std::string localFileName;
};

// The one application object of the process.
extern FetchApp fetchApp;

// Reads the five settings into fetchApp; 0 when all are present, 1 when one
// is missing (it is then seeded and reported).
int ReadFetchSettings();

}  // namespace fetch
