/*
 * Private to the kits: the tokens inside a BMessenger.
 */
#ifndef _KITS_MESSENGER_PRIVATE_H
#define _KITS_MESSENGER_PRIVATE_H

#include <Messenger.h>

class BMessenger::Private {
public:
								Private(BMessenger& messenger)
									: fMessenger(messenger) {}
								Private(const BMessenger& messenger)
									: fMessenger(
										const_cast<BMessenger&>(messenger)) {}

			team_id				Team() const
									{ return fMessenger.fTeam; }
			int32				LooperToken() const
									{ return fMessenger.fLooperToken; }
			int32				HandlerToken() const
									{ return fMessenger.fHandlerToken; }
			bool				IsPreferredTarget() const
									{ return fMessenger.fPreferredTarget; }

			void				SetTo(team_id team, int32 looperToken,
									int32 handlerToken, bool preferred)
								{
									fMessenger.fTeam = team;
									fMessenger.fLooperToken = looperToken;
									fMessenger.fHandlerToken = handlerToken;
									fMessenger.fPreferredTarget = preferred;
								}

private:
			BMessenger&			fMessenger;
};

#endif	// _KITS_MESSENGER_PRIVATE_H
