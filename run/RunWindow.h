#pragma once

#include <cstdint>
#include <string>

namespace run {

enum class RetryAnswer { Ok, Cancel };

// What a run needs of the window that started it. The settings window and the headless runner each
// implement it; every text is UTF-8.
class RunWindow {
 public:
  virtual ~RunWindow() = default;

  // Adds one line at the end of the status console.
  virtual void AppendConsoleLine(const std::string& line) = 0;
  // Lets the window messages waiting in the queue run before the run goes on.
  virtual void ProcessMessages() = 0;

  // False when nobody can answer a question (headless): AskRetry then answers Cancel, and the FTP
  // delivery retries on its own as when Check_ErroFTP is on.
  virtual bool CanAskQuestions() const = 0;
  // A retry question with OK (try again) and Cancel (give up).
  virtual RetryAnswer AskRetry(const std::string& caption, const std::string& text) = 0;
  // A plain notice with one OK button, captioned with the application title.
  virtual void ShowNotice(const std::string& text) = 0;

  // Disables "Testar Backup" and "Salvar Alterações"; a run never enables them again.
  virtual void DisableRunButtons() = 0;

  // The progress gauge shown while an FTP connection is open.
  virtual void ShowGauge() = 0;
  virtual void HideGauge() = 0;
  virtual void SetGaugeMaximum(std::int64_t maximum) = 0;
  virtual void SetGaugeProgress(std::int64_t progress) = 0;

  // How much of the backup file the archiver has read, while it runs, then once it has ended. The
  // settings window keeps its gauge for the upload and shows nothing of this; a terminal draws a bar.
  virtual void ArchiveProgress(std::int64_t /*done*/, std::int64_t /*total*/) {}
  virtual void ArchiveEnded() {}

  // Asks the program to end once control is back in its message loop.
  virtual void RequestEnd() = 0;
};

}  // namespace run
