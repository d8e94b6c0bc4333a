/*
 * Private to the kits: what the loopers, the interface kit and the
 * launch channel need from a BMessage beyond the API.
 *
 * Delivery information lives in BMessage::delivery_info, which the
 * looper code (MessageDelivery.cpp) defines and owns.
 */
#ifndef _KITS_MESSAGE_PRIVATE_H
#define _KITS_MESSAGE_PRIVATE_H

#include <Message.h>

class BMessage::Private {
public:
	typedef BMessage::delivery_info DeliveryInfo;

								Private(BMessage* message)
									: fMessage(message) {}
								Private(BMessage& message)
									: fMessage(&message) {}

	// Marks the message as dropped at a point (screen coordinates) with
	// the offset of the pointer inside what was dragged.
			void				SetDropped(BPoint where, BPoint offset)
								{
									fMessage->fWasDropped = true;
									fMessage->fDropPoint = where;
									fMessage->fDropOffset = offset;
								}

			DeliveryInfo*		Delivery() const
									{ return fMessage->fDelivery; }
	// Takes ownership; releases any earlier delivery information.
			void				SetDelivery(DeliveryInfo* info)
								{
									fMessage->_ReleaseDelivery();
									fMessage->fDelivery = info;
								}
	// Hands over the delivery information without releasing it.
			DeliveryInfo*		DetachDelivery()
								{
									DeliveryInfo* info = fMessage->fDelivery;
									fMessage->fDelivery = NULL;
									return info;
								}

private:
			BMessage*			fMessage;
};

#endif	// _KITS_MESSAGE_PRIVATE_H
