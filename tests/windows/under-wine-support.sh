# Shared by the scripts that drive a Windows program under Wine against a server on the Linux side.
# Sourced after setting `scratch_name`: makes the scratch folder $temp, removed at exit together with the
# server whose process id the script puts in $server_pid.
temp=$(mktemp -d "${TMPDIR:-/tmp}/torvi-wine-$scratch_name.XXXXXX")
server_pid=
stop_server() {
  [ -n "$server_pid" ] || return 0
  kill "$server_pid" 2>/dev/null || true
  while kill -0 "$server_pid" 2>/dev/null; do sleep 0.1; done
  server_pid=
}
trap 'stop_server; rm -rf "$temp"' EXIT
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }
# A Linux path as Wine's Z: drive names it; windows_folder adds the closing separator.
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
windows_folder() { printf '%s\\' "$(windows_path "$1")"; }
