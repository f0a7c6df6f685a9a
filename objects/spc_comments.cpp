#include "objects/spc_comments.h"

#include "core/trace_log.h"
#include "hostapi/host_query.h"
#include "hostapi/vtable_call.h"

#include <algorithm>

namespace {

long CommentCount(IVel7SpcComments* comments)
{
    return V7Get(comments, &IVel7SpcComments::get_Count);
}

// The first comment object, as Velmar takes the index of a comment: a VT_INT variant.
_variant_t FirstIndex()
{
    _variant_t index;
    V_VT(&index) = VT_INT;
    V_INT(&index) = 0;
    return index;
}

void PutCommentBack(IVel7SpcComments* comments, IDispatch* comment, TraceScope& scope) noexcept
{
    try {
        if (V7Get(comments, &IVel7SpcComments::Add, comment) == VARIANT_FALSE)
            scope.WriteLine(L"the comment object could not be put back");
    } catch (...) {
        TraceCurrentException(L"MoveSpcComments");
    }
}

} // namespace

IVel7SpcCommentsPtr CommentsOf(IVel7SpcObject* object)
{
    return QueryHostOrNull<IVel7SpcComments>(V7Get(object, &IVel7SpcObject::get_Comments));
}

SpcCommentsMoved MoveSpcComments(IVel7SpcComments* from, IVel7SpcComments* to, long most)
{
    TraceScope scope(L"MoveSpcComments");
    SpcCommentsMoved moved;
    // A host that reports a removal but keeps the comment would otherwise be asked forever.
    const long initial = CommentCount(from);
    const long wanted = most < 0 ? initial : std::min(most, initial);
    for (; moved.count < wanted && CommentCount(from) > 0; ++moved.count) {
        const IDispatchPtr comment = V7Get(from, &IVel7SpcComments::get_Item, FirstIndex());
        if (V7Get(from, &IVel7SpcComments::Remove, FirstIndex()) == VARIANT_FALSE) {
            scope.WriteLine(L"the host refused to remove a comment object");
            moved.refused = true;
            break;
        }
        bool added = false;
        try {
            added = V7Get(to, &IVel7SpcComments::Add, comment.GetInterfacePtr()) != VARIANT_FALSE;
        } catch (...) {
            // The comment is out of its old object already: it goes back before the failure travels on.
            TraceCurrentException(L"MoveSpcComments");
            PutCommentBack(from, comment, scope);
            throw;
        }
        if (!added) {
            scope.WriteLine(L"the host refused to add a comment object; it goes back");
            PutCommentBack(from, comment, scope);
            moved.refused = true;
            break;
        }
    }
    scope.Value(L"moved", _variant_t(moved.count));
    return moved;
}
