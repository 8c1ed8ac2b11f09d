// Wine's <sal.h>, with the source annotations that Microsoft's STL uses and Wine's lacks. The
// annotations only inform Microsoft's code analysis: they expand to nothing.
#pragma once

#include_next <sal.h>

#ifndef _Analysis_assume_
#define _Analysis_assume_(expression)
#endif
#ifndef _Pre_satisfies_
#define _Pre_satisfies_(condition)
#endif
#ifndef _Post_satisfies_
#define _Post_satisfies_(condition)
#endif
#ifndef _Field_z_
#define _Field_z_
#endif
#ifndef _Guarded_by_
#define _Guarded_by_(lock)
#endif
#ifndef _Inout_bytecount_
#define _Inout_bytecount_(size)
#endif
#ifndef _Interlocked_operand_
#define _Interlocked_operand_
#endif
