#pragma once
// Moving the comment objects the user wrote on one spc object to another: Velmar takes a
// comment out of one collection (16) and puts it into another (15), and may refuse either.
#include "hostapi/velmar.h"

// The comment-object collection of an spc object (its 42); null when it offers none.
IVel7SpcCommentsPtr CommentsOf(IVel7SpcObject* object);

struct SpcCommentsMoved {
    long count = 0;          // taken from the front of the source and added at the end of the target
    bool refused = false;    // Velmar refused a comment; it stays with (or went back to) the source
};

// Moves up to `most` comments (all of them when negative), first first. A refused removal or addition
// ends the move with that comment still in the source; a failed addition puts the comment back before
// the failure goes on.
SpcCommentsMoved MoveSpcComments(IVel7SpcComments* from, IVel7SpcComments* to, long most = -1);
