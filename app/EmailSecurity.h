#pragma once

namespace app {

// Email/Segurança: how the connection to the mail server is protected.
enum EmailSecurity : int {
  kEmailPlain = 0,        // no TLS: a relay on this machine or the local network (port 25)
  kEmailStartTls = 1,     // TLS after STARTTLS (port 587)
  kEmailImplicitTls = 2,  // TLS from the first byte (port 465)
};

// The port each kind of server listens on unless told otherwise.
inline const char* DefaultEmailPort(int security) {
  if (security == kEmailPlain) return "25";
  if (security == kEmailImplicitTls) return "465";
  return "587";
}

}  // namespace app
