// The two sprite file formats: the simple one (five bare header lines,
// then the frames) and the robust one (HEADER, BODY and FOOTER sections
// with named keys). Every line, the last one included, ends in a newline;
// CR LF files read the same as LF files.
#ifndef ZV_SPRITE_FILE_H
#define ZV_SPRITE_FILE_H

#include <deque>
#include <fstream>
#include <string>

#include <zelvra/resources/Frame.h>
#include <zelvra/resources/Sprite.h>

namespace zv {

// The lines of one section, front first.
typedef std::deque<std::string> SpriteLines;

// The line counter shared by the readers, for messages only.
void setSpriteLineCount(int count);
int getSpriteLineCount();

// One line without its '\n' and one trailing '\r'. "" at a blank line, and
// also (with a log line) when the stream fails or ends, so a last line
// without a newline is lost.
std::string getLine(std::ifstream* p_file, bool count);
// The lines between <tag> and </tag>; empty (logged) when the section is
// not there, has a blank line or never ends.
SpriteLines readData(std::ifstream* p_file, std::string tag);
// Takes every line starting with key out of lines and returns the value
// after key and one separator character of the last one; -1 or "" when
// there is none. A line that is the bare key gives no value.
int matchLineInt(SpriteLines* p_lines, const char* key);
std::string matchLineStr(SpriteLines* p_lines, const char* key);
// Takes height rows of exactly width characters and an "end" line off the
// front of lines; the empty frame (logged) when they are not there.
Frame readFrame(SpriteLines* p_lines, int width, int height, int line_number);

// The readers proper, from the first line of the file. Null (logged) for
// any fault; the caller owns the sprite returned.
Sprite* loadSimpleSprite(std::ifstream* p_file);
Sprite* loadRobustSprite(std::ifstream* p_file);

} // namespace zv

#endif
