#pragma once
// In-place conversion between NUL-terminated 8-bit text and length-prefixed
// strings (one length byte, then the bytes).

// Moves the text up by one and stores its length in the first byte. A text
// longer than 255 bytes keeps its first 255 bytes, with length 255. A null
// pointer gives null; an empty text is left as it is. Returns the buffer.
char* gC2PStr(char* text);

// Moves the bytes down by one and ends them with a NUL. A null pointer gives
// null; a zero length is left as it is. Returns the buffer.
unsigned char* gP2CStr(unsigned char* pascal);
