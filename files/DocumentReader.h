/*
 * DocumentReader reads a document's file whole, as raw bytes, into
 * whatever is to hold them (in the editor, the text view).
 *
 * A file of known size is handed to the sink to read itself, so that a
 * large file is not copied twice; a read that falls short, or a size that
 * tells nothing (files in /proc and /sys say 0 and hold bytes all the
 * same), is read again in pieces to its end. What could not be read whole
 * is not handed over: saving a part over the whole would lose the rest.
 * Reading is all it needs: a file that may not be written is still read.
 *
 * The result tells what happened, the file's stamp when what was read is
 * exactly what the file holds, and a copy of the old bytes that an
 * unfinished save in place left behind. It shows nothing and prints
 * nothing; the caller tells the person.
 *
 * Used by one thread at a time; holds nothing between calls.
 */
#ifndef DOCUMENT_READER_H
#define DOCUMENT_READER_H

#include <SupportDefs.h>

#include <string>
#include <vector>

#include "FileStamp.h"

class BFile;
struct entry_ref;


class DocumentReader {
public:
	// Where the bytes go.
	class Sink {
	public:
		virtual					~Sink();
		// Replaces what the sink holds by length bytes of the file from
		// its start; the sink may read fewer, which Length() tells.
		virtual	void			ReadFrom(BFile& file, int32 length) = 0;
		virtual	void			Take(const char* bytes, int32 length) = 0;
		virtual	uint64			Length() const = 0;
	};

	enum outcome {
		kRead,				// every byte, or an empty file
		kIsDirectory,
		kCannotOpen,
		kTooLarge,			// 2 GiB or more: the text counts in int32
		kCannotRead			// status says why; the sink is emptied
	};

	struct Result {
								Result();

			outcome				what;
			status_t			status;
	// Known only when the bytes read are the file's, whole.
			FileStamp			stamp;
	// Where a left-over copy of the file's old bytes is; empty for none.
			std::string			leftOverCopy;
	};

	static	Result				Read(const entry_ref* ref, Sink& sink);

private:
	static	status_t			_ReadAll(BFile& file,
									std::vector<char>& bytes);
};

#endif	// DOCUMENT_READER_H
