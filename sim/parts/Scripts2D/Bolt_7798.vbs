' Hexagon head bolt seen from the side, its axis along x: the head (height k, across the flats s) before
' x = 0, the shank of diameter d from 0 to the length L. Drawn as a member of a fastener set it says so.
Sub Script_OnLoad()
  Dim h, r
  h = s / 2
  r = d / 2
  Doc.Segment -k, -h, 0, -h, 1
  Doc.Segment 0, -h, 0, h, 1
  Doc.Segment 0, h, -k, h, 1
  Doc.Segment -k, h, -k, -h, 1
  Doc.Segment 0, -r, L, -r, 1
  Doc.Segment L, -r, L, r, 1
  Doc.Segment L, r, 0, r, 1
  If tkrIsPartOf = 1 Then
    RAZadi.Append "bolt d=" & d & " L=" & L & " in a set"
  Else
    RAZadi.Append "bolt d=" & d & " L=" & L
  End If
End Sub
