/*
 * Writes the seed files of the BMessage unflatten fuzzer's corpus: real
 * flat messages of the kinds the editor and the kits exchange, with one
 * of every value type among them. Usage: MessageCorpusSeeds DIRECTORY.
 */
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <AppDefs.h>
#include <Message.h>
#include <Messenger.h>

#include "MessagePrivate.h"
#include "MessengerPrivate.h"


namespace {

bool
write_seed(const std::string& directory, const char* name,
	const BMessage& message)
{
	std::vector<char> flat(message.FlattenedSize());
	if (message.Flatten(flat.data(), flat.size()) != B_OK)
		return false;
	std::string path = directory + "/seed-" + name;
	FILE* file = fopen(path.c_str(), "wb");
	if (file == NULL)
		return false;
	bool written = fwrite(flat.data(), 1, flat.size(), file) == flat.size();
	return fclose(file) == 0 && written;
}


BMessage
settings_message()
{
	BMessage settings('FMpr');
	settings.AddRect("frame", BRect(40, 40, 680, 520));
	settings.AddString("FontFamily", "Noto Sans Mono");
	settings.AddFloat("FontSize", 12.0f);
	settings.AddInt32("LineLength", 255);
	settings.AddBool("WrapLines", true);
	settings.AddString("recent", "/home/user/notes.txt");
	settings.AddString("recent", "/home/user/caf\xc3\xa9.txt");
	return settings;
}


BMessage
every_type_message()
{
	BMessage message('evry');
	message.AddInt8("int8", -1);
	message.AddUInt8("uint8", 200);
	message.AddInt16("int16", -2);
	message.AddUInt16("uint16", 60000);
	message.AddInt32("int32", -3);
	message.AddUInt32("uint32", 4000000000u);
	message.AddInt64("int64", -4);
	message.AddUInt64("uint64", 1ull << 63);
	message.AddBool("bool", false);
	message.AddFloat("float", 0.5f);
	message.AddDouble("double", -0.25);
	message.AddPoint("point", BPoint(1, 2));
	message.AddRect("rect", BRect(0, 0, 9, 9));
	message.AddPointer("pointer", NULL);
	BMessenger messenger;
	BMessenger::Private(messenger).SetTo(100, 3, 4, true);
	message.AddMessenger("messenger", messenger);
	message.AddString("string", "text");
	message.AddData("ref", B_REF_TYPE, "/tmp/file.txt", 13);
	message.AddData("raw", B_RAW_TYPE, "\x00\x01\x02\xff", 4);
	message.AddData("empty raw", 'EMPT', "", 0, false);
	BMessage nested('nest');
	nested.AddString("inner", "value");
	message.AddMessage("message", &nested);
	return message;
}

}	// namespace


int
main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
		return 2;
	}
	std::string directory = argv[1];
	bool ok = true;

	ok &= write_seed(directory, "empty", BMessage());
	BMessage dropped(B_SIMPLE_DATA);
	BMessage::Private(dropped).SetDropped(BPoint(12, 34), BPoint(1, 1));
	dropped.AddData("refs", B_REF_TYPE, "/home/user/dropped file", 23);
	ok &= write_seed(directory, "dropped", dropped);
	ok &= write_seed(directory, "settings", settings_message());
	ok &= write_seed(directory, "every-type", every_type_message());

	BMessage key(B_KEY_DOWN);
	key.AddString("bytes", "\xc3\xa9");
	key.AddInt8("byte", (int8)0xc3);
	key.AddInt32("key", 38);
	key.AddInt32("modifiers", 0x101);
	key.AddInt32("raw_char", 0xe9);
	ok &= write_seed(directory, "key-down", key);

	BMessage refs(B_REFS_RECEIVED);
	for (int i = 0; i < 5; i++) {
		std::string path = "/home/user/file" + std::to_string(i);
		refs.AddData("refs", B_REF_TYPE, path.c_str(), path.size());
	}
	ok &= write_seed(directory, "refs", refs);

	BMessage multi('mult');
	for (int i = 0; i < 16; i++) {
		multi.AddInt32("numbers", i * i);
		multi.AddString("words", std::string(i, 'w').c_str());
		multi.AddBool("flags", i % 2 == 0);
	}
	ok &= write_seed(directory, "multi-valued", multi);

	BMessage chain('leaf');
	chain.AddInt32("depth", 64);
	for (int level = 63; level >= 0; level--) {
		BMessage parent('deep');
		parent.AddMessage("child", &chain);
		parent.AddInt32("depth", level);
		chain = parent;
	}
	ok &= write_seed(directory, "deepest", chain);

	BMessage wide('wide');
	for (int i = 0; i < 100; i++) {
		std::string name = "field " + std::to_string(i);
		wide.AddInt16(name.c_str(), i);
	}
	ok &= write_seed(directory, "many-fields", wide);

	BMessage odd(0x01ff7f20);
	odd.AddString("\x01\xff\"\\name\n", "\t\x7f\xc3\x28\xed\xa0\x80\xf4\x90");
	odd.AddData("\xff", 0x00000000, "x", 1);
	ok &= write_seed(directory, "odd-bytes", odd);

	if (!ok) {
		fprintf(stderr, "%s: could not write the seeds to %s\n", argv[0],
			argv[1]);
		return 1;
	}
	return 0;
}
