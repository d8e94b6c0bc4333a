/*
 * How the kits read UTF-8 when they measure, draw and hand over text, so
 * that the font code, the text code and the clipboard agree on what a
 * character is.
 *
 * A character is a well-formed UTF-8 sequence (Unicode's table of
 * well-formed byte sequences: no overlong forms, no surrogates, nothing
 * past U+10FFFF). Any other byte is a character of its own, one byte
 * long, and reads as U+FFFD REPLACEMENT CHARACTER. NUL is a character.
 */
#ifndef _KITS_UTF8_DECODING_H
#define _KITS_UTF8_DECODING_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

static const uint32 kReplacementCharacter = 0xFFFD;

// Decodes the character at text, of which length bytes (at least 1) may
// be read. Returns how many bytes it spans (1 to 4) and sets _codePoint.
// Reads a byte only while the bytes before it still form the start of a
// well-formed sequence, and never at or past length.
inline int32
DecodeUTF8(const char* text, int32 length, uint32& _codePoint)
{
	const uint8* bytes = (const uint8*)text;
	uint8 lead = bytes[0];
	if (lead < 0x80) {
		_codePoint = lead;
		return 1;
	}

	// The number of continuation bytes and the range the first of them
	// must lie in; the narrower ranges rule out overlong forms, surrogates
	// and values past U+10FFFF.
	int32 count;
	uint8 low = 0x80;
	uint8 high = 0xBF;
	uint32 value;
	if (lead >= 0xC2 && lead <= 0xDF) {
		count = 1;
		value = lead & 0x1F;
	} else if (lead >= 0xE0 && lead <= 0xEF) {
		count = 2;
		value = lead & 0x0F;
		if (lead == 0xE0)
			low = 0xA0;
		else if (lead == 0xED)
			high = 0x9F;
	} else if (lead >= 0xF0 && lead <= 0xF4) {
		count = 3;
		value = lead & 0x07;
		if (lead == 0xF0)
			low = 0x90;
		else if (lead == 0xF4)
			high = 0x8F;
	} else {
		_codePoint = kReplacementCharacter;
		return 1;
	}

	if (length <= count) {
		_codePoint = kReplacementCharacter;
		return 1;
	}

	for (int32 i = 1; i <= count; i++) {
		uint8 byte = bytes[i];
		if (byte < low || byte > high) {
			_codePoint = kReplacementCharacter;
			return 1;
		}
		value = (value << 6) | (byte & 0x3F);
		low = 0x80;
		high = 0xBF;
	}

	_codePoint = value;
	return count + 1;
}


// What a screen can show and carry of the bytes (a window title, the
// system clipboard): every well-formed character as it is, every other
// byte as U+FFFD, and no NUL.
inline std::string
TextForScreen(const char* bytes, size_t length)
{
	std::string text;
	text.reserve(length);
	const uint8* data = (const uint8*)bytes;
	for (size_t at = 0; at < length;) {
		if (data[at] == 0) {
			at++;
			continue;
		}
		uint32 codePoint;
		int32 span = DecodeUTF8(bytes + at,
			(int32)(length - at < 4 ? length - at : 4), codePoint);
		// A byte of its own at or above 0x80 is no character.
		if (span == 1 && data[at] >= 0x80)
			text += "\xEF\xBF\xBD";
		else
			text.append(bytes + at, span);
		at += span;
	}
	return text;
}

}	// namespace BPrivate

#endif	// _KITS_UTF8_DECODING_H
