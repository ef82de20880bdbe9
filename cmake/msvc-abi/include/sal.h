// <sal.h> of this build: MinGW-w64's source annotations (copied beside by the runtime script),
// plus the few Microsoft's STL uses that they lack. All are empty: they only inform code analysis.
#pragma once
#include "mingw_sal.h"
#define _Notnull_
#define _Maybenull_
#define _Notref_
#define _Pre_valid_
#define _Post_invalid_
#define _Deref_post_z_
#define _Inexpressible_(size)
#define _Ret_opt_bytecap_(size)
#ifndef _Deref_post_opt_valid_
#define _Deref_post_opt_valid_
#endif
#ifndef _Analysis_assume_
#define _Analysis_assume_(expression)
#endif
#ifndef _Analysis_assume_lock_held_
#define _Analysis_assume_lock_held_(lock)
#endif
#ifndef _Requires_lock_held_
#define _Requires_lock_held_(lock)
#define _Acquires_lock_(lock)
#define _Releases_lock_(lock)
#define _Acquires_exclusive_lock_(lock)
#define _Releases_exclusive_lock_(lock)
#define _Guarded_by_(lock)
#define _Interlocked_operand_
#endif
