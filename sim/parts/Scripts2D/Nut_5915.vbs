' Hexagon nut, seen along its axis: the six sides across the flats s and the thread's circle d.
Sub Script_OnLoad()
  Dim r, i, a1, a2
  r = s / Sqr(3)
  For i = 0 To 5
    a1 = i * 3.14159265358979 / 3
    a2 = (i + 1) * 3.14159265358979 / 3
    Doc.Segment r * Cos(a1), r * Sin(a1), r * Cos(a2), r * Sin(a2), 1
  Next
  Doc.Circle 0, 0, d / 2, 1
  RAZadi.Append "nut d=" & d & " s=" & s
End Sub
