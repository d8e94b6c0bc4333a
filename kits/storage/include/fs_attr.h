/*
 * What BNode::GetAttrInfo() tells about one attribute of a node.
 */
#ifndef _FS_ATTR_H
#define _FS_ATTR_H

#include <SupportDefs.h>

typedef struct attr_info {
	uint32	type;	// always B_RAW_TYPE: the file system keeps no type
	off_t	size;	// the value's length in bytes
} attr_info;

#endif	// _FS_ATTR_H
