/*
 * BInvoker: a message and where it goes.
 */
#include <Invoker.h>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>


BInvoker::BInvoker()
	:
	fMessage(NULL),
	fReplyTo(NULL),
	fTimeout(B_INFINITE_TIMEOUT),
	fNotifyKind(0)
{
}


BInvoker::BInvoker(BMessage* message, const BHandler* handler,
	const BLooper* looper)
	:
	BInvoker()
{
	fMessage = message;
	SetTarget(handler, looper);
}


BInvoker::BInvoker(BMessage* message, BMessenger target)
	:
	BInvoker()
{
	fMessage = message;
	fMessenger = target;
}


BInvoker::~BInvoker()
{
	delete fMessage;
}


// #pragma mark - The message


status_t
BInvoker::SetMessage(BMessage* message)
{
	if (message == fMessage)
		return B_OK;
	delete fMessage;
	fMessage = message;
	return B_OK;
}


BMessage*
BInvoker::Message() const
{
	return fMessage;
}


uint32
BInvoker::Command() const
{
	return fMessage != NULL ? fMessage->what : 0;
}


// #pragma mark - The target


status_t
BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
	if (handler == NULL && looper == NULL) {
		fMessenger = BMessenger();
		return B_OK;
	}
	status_t status = B_OK;
	BMessenger messenger(handler, looper, &status);
	if (status != B_OK)
		return status;
	fMessenger = messenger;
	return B_OK;
}


status_t
BInvoker::SetTarget(BMessenger messenger)
{
	fMessenger = messenger;
	return B_OK;
}


bool
BInvoker::IsTargetLocal() const
{
	return fMessenger.IsTargetLocal();
}


BHandler*
BInvoker::Target(BLooper** _looper) const
{
	BLooper* looper = NULL;
	BHandler* handler = fMessenger.IsValid()
		? fMessenger.Target(&looper) : NULL;
	// A messenger aimed at a looper's preferred handler names the looper.
	if (handler == NULL && looper != NULL)
		handler = looper;
	if (_looper != NULL)
		*_looper = looper;
	return handler;
}


BMessenger
BInvoker::Messenger() const
{
	return fMessenger;
}


status_t
BInvoker::SetHandlerForReply(BHandler* handler)
{
	fReplyTo = handler;
	return B_OK;
}


BHandler*
BInvoker::HandlerForReply() const
{
	return fReplyTo;
}


// #pragma mark - Sending


status_t
BInvoker::Invoke(BMessage* message)
{
	if (message == NULL)
		message = fMessage;
	if (message == NULL)
		return B_BAD_VALUE;
	if (!fMessenger.IsValid())
		return B_BAD_PORT_ID;

	BMessage copy(*message);
	if (!copy.HasInt64("when"))
		copy.AddInt64("when", system_time());
	if (!copy.HasPointer("source"))
		copy.AddPointer("source", dynamic_cast<const void*>(this));
	return fMessenger.SendMessage(&copy, fReplyTo, fTimeout);
}


status_t
BInvoker::InvokeNotify(BMessage* message, uint32 kind)
{
	BeginInvokeNotify(kind);
	status_t status = Invoke(message);
	EndInvokeNotify();
	return status;
}


uint32
BInvoker::InvokeKind(bool* _notify)
{
	if (_notify != NULL)
		*_notify = fNotifyKind != 0;
	return fNotifyKind != 0 ? fNotifyKind : (uint32)B_CONTROL_INVOKED;
}


void
BInvoker::BeginInvokeNotify(uint32 kind)
{
	fNotifyKind = kind;
}


void
BInvoker::EndInvokeNotify()
{
	fNotifyKind = 0;
}


status_t
BInvoker::SetTimeout(bigtime_t timeout)
{
	fTimeout = timeout;
	return B_OK;
}


bigtime_t
BInvoker::Timeout() const
{
	return fTimeout;
}
