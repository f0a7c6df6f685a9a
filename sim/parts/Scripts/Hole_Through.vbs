' The part script of the sample through hole: the stand-in's own element builder stands for the
' features a real script makes with Velmar's objects (sim/element_model.h).
Sub Script_OnLoad()
  Dim element
  Set element = Doc.BuildElement("hole", "D=" & D & ";H=" & H, positmType, positmX, positmY, positmR, positmA, PosEntities)
  RAZadi.Append "hole D=" & D & " H=" & H
  PosEntities.Add element
End Sub
