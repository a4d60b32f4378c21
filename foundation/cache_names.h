// Names of cache folders and cached files: the SHA-1 of a text's UTF-8 bytes as 40 upper-case
// hex digits, usable as a file name as it is.
#pragma once

#include "winlayer/cstring.h"

CString Sha1HexOfText(const CString& text);
// How every caller names a cached thing after a text.
CString Sha1Name(const CString& text);
// The name of a folder made from two numbers: Sha1Name of "nKey1 = <key1>, nKey2 = <key2>".
CString MakeKeyHash(int key1, int key2);
