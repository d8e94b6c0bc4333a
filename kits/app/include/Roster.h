/*
 * The roster: what the platform knows about applications. An
 * application's identity (its signature, launch flags, version and the
 * types it opens) lives in the image's resources; the launch flags decide
 * whether a second launch starts a second instance or hands its arguments
 * to the one already running.
 *
 * Linux has no registrar process, so the roster knows only what it can
 * find out for the current user's session on this display: an
 * application that launches singly keeps a channel per user and display
 * open while it runs, and that is what IsRunning() looks for.
 */
#ifndef _ROSTER_H
#define _ROSTER_H

#include <Entry.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

// Launch flags ("BEOS:APP_FLAGS"). One of the three launch modes, masked
// by B_LAUNCH_MASK, combined with the other bits.
#define B_SINGLE_LAUNCH			(0x0)
#define B_MULTIPLE_LAUNCH		(0x1)
#define B_EXCLUSIVE_LAUNCH		(0x2)
#define B_LAUNCH_MASK			(0x3)
#define B_BACKGROUND_APP		(0x4)
#define B_ARGV_ONLY				(0x8)

// Version varieties
enum {
	B_APPV_DEVELOPMENT			= 0,
	B_APPV_ALPHA				= 1,
	B_APPV_BETA					= 2,
	B_APPV_GAMMA				= 3,
	B_APPV_GOLDEN_MASTER		= 4,
	B_APPV_FINAL				= 5
};

// The application's version ("BEOS:APP_VERSION").
struct version_info {
	uint32						major;
	uint32						middle;
	uint32						minor;
	uint32						variety;	// one of the B_APPV_* values
	uint32						internal;
	char						short_info[64];
	char						long_info[256];
};

// A running application, as far as this process can describe it.
struct app_info {
								app_info();
								~app_info();

			thread_id			thread;
			team_id				team;
			port_id				port;
			uint32				flags;
			entry_ref			ref;
			char				signature[B_MIME_TYPE_LENGTH];
};


class BRoster {
public:
								BRoster();
								~BRoster();

	// Querying for apps
	// True while an instance of the single- or exclusive-launch
	// application with this signature runs for the current user on the
	// display this process uses (offscreen counts as one), this process
	// included. Applications that launch multiply keep no channel
	// and are never reported. An invalid signature gives false.
			bool				IsRunning(const char* signature) const;

private:
								BRoster(const BRoster&) = delete;
			BRoster&			operator=(const BRoster&) = delete;
};

// The process's roster; always valid.
extern const BRoster* be_roster;

#endif	// _ROSTER_H
