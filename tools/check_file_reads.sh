#!/usr/bin/env bash
# Fails when product code reads a file any other way than through the
# program's one reader of files (readRegularFile in model/FileUtils.cpp). That
# reader opens regular files only and never reads past a limit: the
# framework's streams and loaders open whatever the name is, and a FIFO named
# like one of our files keeps them waiting for a writer for ever, while a
# device or a huge file fills the memory. Writing files is not checked here.
set -uo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root" || exit 2

reader=model/FileUtils.cpp
# The framework's file streams and whole-file loaders, its readers that take
# a file (a ZipFile made from one argument, XML, JSON, properties, images),
# the C and C++ libraries' readers and an open(2) for reading.
pattern='FileInputStream|FileInputSource|MemoryMappedFile|loadFileAs(Data|String)|readLines[[:space:]]*\(|createInputStream|ZipFile[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*[({][^,]*[)}]|XmlDocument|parseXML|JSON::parse|PropertiesFile[^A-Za-z]|ImageCache::getFromFile|ImageFileFormat::loadFrom|createFromImageFile|ifstream|fstream|(^|[^A-Za-z0-9_])f?open(at)?[[:space:]]*\(.*O_(RDONLY|RDWR)|(^|[^A-Za-z0-9_])(fopen|freopen|fdopen|mmap)[[:space:]]*\('

source "$root/tools/forbid_outside.sh"
forbid_outside "$reader" "Only $reader reads files; read them with readRegularFile:" "$pattern"
exit $status
