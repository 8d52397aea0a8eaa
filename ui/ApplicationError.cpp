#include "ui/ApplicationError.h"

#include <cxxabi.h>

#include <QMessageBox>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "app/StartUp.h"

namespace ui {
namespace {

// The class name as the program names it, without its namespace.
std::string ClassName(const std::exception& error) {
  const char* mangled = typeid(error).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && demangled ? demangled : mangled;
  std::free(demangled);
  const std::size_t lastScope = name.rfind("::");
  return lastScope == std::string::npos ? name : name.substr(lastScope + 2);
}

std::string AddressText(const void* address) {
  char text[2 * sizeof(void*) + 1];
  std::snprintf(text, sizeof text, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  return text;
}

}  // namespace

std::string ApplicationErrorText(const std::exception& error, const std::string& module,
                                 const void* address) {
  return "Exception " + ClassName(error) + " in module " + module + " at " + AddressText(address) + ".\r\n" +
         app::ErrorBoxText(error.what()) + "\r\n";
}

void ShowApplicationError(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  QMessageBox box(QMessageBox::Critical, "Application Error", shown.trimmed(), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace ui
