' Hexagon nut. On its own it is seen along its axis: the six sides across the flats s and the thread's
' circle d. As a member of a fastener set it is seen from the side, its axis along x: a rectangle of the
' nut's height (0.8 d) across the flats.
Sub Script_OnLoad()
  Dim r, i, a1, a2, m, h
  If tkrIsPartOf = 1 Then
    m = 0.8 * d
    h = s / 2
    Doc.Segment 0, -h, m, -h, 1
    Doc.Segment m, -h, m, h, 1
    Doc.Segment m, h, 0, h, 1
    Doc.Segment 0, h, 0, -h, 1
    RAZadi.Append "nut d=" & d & " s=" & s & " in a set"
    Exit Sub
  End If
  r = s / Sqr(3)
  For i = 0 To 5
    a1 = i * 3.14159265358979 / 3
    a2 = (i + 1) * 3.14159265358979 / 3
    Doc.Segment r * Cos(a1), r * Sin(a1), r * Cos(a2), r * Sin(a2), 1
  Next
  Doc.Circle 0, 0, d / 2, 1
  RAZadi.Append "nut d=" & d & " s=" & s
End Sub
