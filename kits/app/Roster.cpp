/*
 * The roster and the application's resources. Without a registrar the
 * roster answers from what the current user's launch channels show.
 */
#include <Roster.h>

#include "AppResources.h"
#include "LaunchChannel.h"


namespace {

const BRoster sRoster;

}	// namespace


const BRoster* be_roster = &sRoster;


app_info::app_info()
	:
	thread(-1),
	team(-1),
	port(-1),
	flags(B_MULTIPLE_LAUNCH)
{
	signature[0] = '\0';
}


app_info::~app_info()
{
}


BRoster::BRoster()
{
}


BRoster::~BRoster()
{
}


bool
BRoster::IsRunning(const char* signature) const
{
	return BPrivate::LaunchChannel::IsRunning(signature);
}


namespace BPrivate {

const app_resources*
image_app_resources()
{
	// The record is weak: its address is null in a program that was
	// built without one.
	return &kAppResources != NULL ? &kAppResources : NULL;
}


uint32
image_launch_flags()
{
	const app_resources* resources = image_app_resources();
	return resources != NULL ? resources->flags : B_MULTIPLE_LAUNCH;
}

}	// namespace BPrivate
