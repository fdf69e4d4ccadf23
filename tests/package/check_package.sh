#!/bin/sh
# The Debian package, made from the build folder and checked the way Debian
# checks packages: its name, control fields and exact list of files; lintian
# (no error, and no warning but the deliberate ones in README's Installing);
# the desktop entry (desktop-file-validate), the AppStream metadata with its
# desktop entry and icon (appstreamcli validate-tree --no-net); the file type
# in a MIME database of its own (which names it gives the server's files and
# which it leaves alone) and the desktop entry as the application for it;
# the version in every file that names it. Then the unpacked programs run:
# lexivane-msg --version and check, lexivane headless on the sample and on a
# corrupt file with -DEBUG, its log in the user's state folder and nothing
# written into the unpacked tree; every command lexivane-msg --help lists is
# in its manual page. Every folder it uses is a temporary one.
#
# Usage: check_package.sh BUILD_DIR VERSION SAMPLE
# Exit status: 0 the package passed, 1 it failed (every failure is listed).
set -u

if [ $# -ne 3 ]; then
    echo "usage: $0 BUILD_DIR VERSION SAMPLE" >&2
    exit 1
fi
build=$1
version=$2
sample=$3
app_id=example.tessavel.Lexivane
mime_type=application/x-interbase-msg
# lintian's warnings that are deliberate (README, Installing); any other
# warning, and every error, fails.
deliberate_warnings=""

missing_tools=""
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian desktop-file-validate \
    update-desktop-database appstreamcli update-mime-database gio readelf gzip man col; do
    command -v "$tool" >/dev/null 2>&1 || missing_tools="$missing_tools $tool"
done
if [ -n "$missing_tools" ]; then
    echo "FAIL: missing tools:$missing_tools (tools/install-deps installs them)" >&2
    exit 1
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/lexivane-package.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
step() {
    echo "=== $*"
}

step "cpack -G DEB"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    echo "FAIL: cpack could not make the package" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
deb=$tmp/out/lexivane_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
    ls -l "$tmp/out" >&2
    echo "FAIL: no package lexivane_${version}_${arch}.deb" >&2
    exit 1
fi
echo "$(basename "$deb"): $(wc -c <"$deb") bytes"

step "control fields"
field() {
    dpkg-deb -f "$deb" "$1"
}
dpkg-deb -f "$deb"
[ "$(field Package)" = lexivane ] || fail "Package is '$(field Package)', not lexivane"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ "$(field Maintainer)" = "Tessavel <support@tessavel.example>" ] || fail "Maintainer is '$(field Maintainer)'"
depends=$(field Depends)
# What the programs link (from dpkg-shlibdeps) and the platform plugins.
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
    echo ", $depends," | grep -q "[, ]${package}[ ,(]" || fail "Depends lacks $package: $depends"
done
# Nothing the programs do not use: no test library, no server client.
for package in libqt6test6 libfbclient2; do
    echo ", $depends," | grep -q "[, ]${package}[ ,(]" && fail "Depends names $package: $depends"
done
echo ", $(field Recommends)," | grep -q "[, ]fonts-liberation[ ,(]" \
    || fail "Recommends lacks fonts-liberation: $(field Recommends)"

step "files"
# Exactly these files, nothing else (no tests, benchmarks, sample builder).
cat >"$tmp/expected-files" <<LIST
./usr/bin/lexivane
./usr/bin/lexivane-msg
./usr/share/applications/$app_id.desktop
./usr/share/doc/lexivane/changelog.gz
./usr/share/doc/lexivane/copyright
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/lexivane/lexivane.HLP
./usr/share/man/man1/lexivane-msg.1.gz
./usr/share/man/man1/lexivane.1.gz
./usr/share/metainfo/$app_id.metainfo.xml
./usr/share/mime/packages/lexivane.xml
LIST
dpkg-deb --fsys-tarfile "$deb" | tar -tvf - >"$tmp/contents"
awk '$1 !~ /^d/ { print $6 }' "$tmp/contents" | LC_ALL=C sort >"$tmp/packaged-files"
if ! diff -u "$tmp/expected-files" "$tmp/packaged-files" >"$tmp/files.diff"; then
    cat "$tmp/files.diff" >&2
    fail "the package's files are not the expected ones (- missing, + unexpected)"
fi
awk '{ print $1, $2, $6 }' "$tmp/contents"
awk '$2 != "root/root" { print }' "$tmp/contents" | grep -q . && fail "files not owned by root/root"

step "lintian"
lintian_options="--fail-on error,warning --display-info"
[ -n "$deliberate_warnings" ] && lintian_options="$lintian_options --suppress-tags $deliberate_warnings"
# shellcheck disable=SC2086
if ! lintian $lintian_options "$deb" >"$tmp/lintian.log" 2>&1; then
    cat "$tmp/lintian.log" >&2
    fail "lintian reports errors or warnings"
else
    grep -v 'running with root privileges' "$tmp/lintian.log"
    echo "lintian: no error, no warning"
fi

root=$tmp/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x" >&2; exit 1; }
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml

step "stripped programs"
for program in "$root/usr/bin/lexivane" "$root/usr/bin/lexivane-msg"; do
    if readelf -S "$program" | grep -Eq '\.(symtab|debug_info)'; then
        fail "${program#"$root"} is not stripped"
    fi
done

step "desktop-file-validate"
if ! desktop-file-validate "$desktop" >"$tmp/desktop.log" 2>&1 || [ -s "$tmp/desktop.log" ]; then
    cat "$tmp/desktop.log" >&2
    fail "desktop-file-validate"
fi
grep -qx 'Exec=lexivane %f' "$desktop" || fail "the desktop entry does not run lexivane %f"
grep -qx 'Categories=Development;Translation;' "$desktop" || fail "the desktop entry's categories"
grep -qx "MimeType=$mime_type;" "$desktop" || fail "the desktop entry does not name $mime_type"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not name the icon $app_id"

step "appstreamcli validate-tree --no-net"
if ! appstreamcli validate-tree --no-net "$root" >"$tmp/appstream.log" 2>&1; then
    cat "$tmp/appstream.log" >&2
    fail "appstreamcli validate-tree"
else
    cat "$tmp/appstream.log"
fi
grep -q '<image>https://' "$metainfo" || fail "the metadata's screenshot has no https address"

step "the file type"
share=$tmp/share
mkdir -p "$share/mime/packages" "$share/applications" "$tmp/files" "$tmp/home"
cp "$root/usr/share/mime/packages/lexivane.xml" "$share/mime/packages/"
cp "$desktop" "$share/applications/"
# This database and the system's, as a desktop reads them; the desktop entry
# counts only with its program on the PATH.
in_desktop() {
    env PATH="$root/usr/bin:$PATH" HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/.local/share" \
        XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_DIRS="$share:/usr/share" "$@"
}
if ! in_desktop update-mime-database "$share/mime" >"$tmp/mime.log" 2>&1 || [ -s "$tmp/mime.log" ]; then
    cat "$tmp/mime.log" >&2
    fail "update-mime-database"
fi
in_desktop update-desktop-database "$share/applications" || fail "update-desktop-database"
content_type() {
    in_desktop gio info -a standard::content-type "$1" 2>/dev/null | sed -n 's/^ *standard::content-type: //p'
}
files=$tmp/files
cp "$sample" "$files/interbase.msg"
cp "$sample" "$files/INTERBAS.MSG"
cp "$sample" "$files/russian.msg"
cp "$sample" "$files/renamed.bin"
# The server's own file, which firebird3.0-common ships (tools/install-deps).
for server_file in /usr/lib/*/firebird/*/firebird.msg; do
    [ -f "$server_file" ] && cp "$server_file" "$files/firebird.msg"
done
[ -f "$files/firebird.msg" ] || fail "no firebird.msg of the server (tools/install-deps installs firebird3.0-common)"
printf 'From: a@b.example\nSubject: hello\n\nA mail saved as .msg\n' >"$files/mail.msg"
printf '\320\317\021\340\241\261\032\341' >"$files/outlook.msg"
head -c 64 /dev/zero >"$files/zeros.msg"
# Made by name or by the header: ours; other .msg files: someone else's.
for name in interbase.msg INTERBAS.MSG firebird.msg russian.msg renamed.bin; do
    [ -f "$files/$name" ] || continue
    type=$(content_type "$files/$name")
    echo "$name: $type"
    [ "$type" = "$mime_type" ] || fail "$name is '$type', not $mime_type"
done
for name in mail.msg outlook.msg zeros.msg; do
    type=$(content_type "$files/$name")
    echo "$name: $type"
    [ "$type" != "$mime_type" ] || fail "$name, not a message file of the server, is $mime_type"
done
default_app=$(in_desktop gio mime "$mime_type" 2>/dev/null | sed -n 's/^Default application for .*: //p')
echo "default application: $default_app"
[ "$default_app" = "$app_id.desktop" ] || fail "the file manager would not open $mime_type with Lexivane"

step "versions"
changelog_version=$(gzip -dc "$root/usr/share/doc/lexivane/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's newest entry is $changelog_version, not $version"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$release" = "$version" ] || fail "the metadata's newest release is '$release', not $version"
for page in lexivane lexivane-msg; do
    gzip -dc "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"Lexivane $version\"" \
        || fail "the manual page $page(1) is not of version $version"
done

step "the packaged programs"
msg_version=$("$root/usr/bin/lexivane-msg" --version 2>&1)
echo "lexivane-msg --version: $msg_version"
[ "$msg_version" = "lexivane-msg $version" ] || fail "lexivane-msg --version says '$msg_version'"
"$root/usr/bin/lexivane-msg" check "$sample" >"$tmp/check.log" 2>&1 || {
    cat "$tmp/check.log" >&2
    fail "lexivane-msg check on the sample"
}

# Every command the tool's usage lists has its entry in the manual page.
MANWIDTH=200 man -l "$root/usr/share/man/man1/lexivane-msg.1.gz" 2>/dev/null | col -b >"$tmp/lexivane-msg.txt"
commands=$("$root/usr/bin/lexivane-msg" --help | sed -n 's/^  \([a-z-][a-z-]*\).*/\1/p')
[ -n "$commands" ] || fail "lexivane-msg --help lists no command"
for command in $commands; do
    grep -Eq "^       $command( |\$)" "$tmp/lexivane-msg.txt" \
        || fail "the manual page lexivane-msg(1) does not document '$command', which --help lists"
done
echo "documented: $(printf "%s" "$commands" | tr "\n" " ")"

# Run with every folder it may use pointed into the temporary folder.
user=$tmp/user-files
mkdir -p "$user/home" "$user/config" "$user/state" "$user/cache" "$user/data" "$user/runtime" \
    "$user/lexivane-user" "$user/lexivane-system" "$user/work"
chmod 700 "$user/runtime"
cp "$sample" "$user/work/interbase.msg"
printf '\177\177\177\177\177\177\177\177\177\177\177\177\177\177\177\177' >"$user/work/corrupt.msg"
find "$root" | LC_ALL=C sort >"$tmp/tree-before"
run_editor() {
    (cd "$user/work" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$user/home" XDG_CONFIG_HOME="$user/config" \
        XDG_STATE_HOME="$user/state" XDG_CACHE_HOME="$user/cache" XDG_DATA_HOME="$user/data" \
        XDG_RUNTIME_DIR="$user/runtime" LEXIVANE_USER_DIR="$user/lexivane-user" \
        LEXIVANE_SYSTEM_DIR="$user/lexivane-system" QT_QPA_PLATFORM=offscreen \
        LEXIVANE_EXIT_AFTER_START=1500 "$root/usr/bin/lexivane" "$@")
}
for arguments in "interbase.msg" "-DEBUG corrupt.msg"; do
    # shellcheck disable=SC2086
    run_editor $arguments >"$tmp/editor.log" 2>&1
    status=$?
    echo "lexivane $arguments: exit status $status"
    if [ "$status" -ne 0 ]; then
        cat "$tmp/editor.log" >&2
        fail "the packaged lexivane $arguments ended with status $status"
    fi
done
[ -f "$user/lexivane-user/HKEY_CURRENT_USER.reg" ] || fail "the editor kept no preferences in LEXIVANE_USER_DIR"
log=$user/state/lexivane/lexivane.LOG
if grep -q "Exception EMsgFileError" "$log" 2>/dev/null; then
    echo "log: ${log#"$user"/}"
else
    fail "the installed editor's log is not in XDG_STATE_HOME/lexivane/lexivane.LOG"
fi
find "$root" | LC_ALL=C sort >"$tmp/tree-after"
if ! diff -u "$tmp/tree-before" "$tmp/tree-after" >&2; then
    fail "the editor wrote into the installed tree"
fi

if [ "$failures" -ne 0 ]; then
    echo "FAILED: $failures check(s) of the package" >&2
    exit 1
fi
echo "The package passed."
