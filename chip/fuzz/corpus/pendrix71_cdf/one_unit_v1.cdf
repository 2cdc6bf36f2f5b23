[CDF]
Version=QX1.0
[Chip]
Name=x
Rows=2
Cols=2
NumberOfUnits=1
MaxUnit=1
[Unit1]
Name=e
Direction=1
NumAtoms=1
NumCells=2
UnitNumber=1
UnitType=3
NumberBlocks=1
[Unit1_Block1]
Name=e
BlockNumber=1
NumAtoms=1
NumCells=2
StartPosition=0
StopPosition=0
CellHeader=X	Y	PROBE	FEAT	QUAL	EXPOS	POS	CBASE	PBASE	TBASE	ATOM	INDEX	CODONIND	CODON	REGIONTYPE	REGION
Cell1=0	0	x	N	control	0	0	t	a	t	0	0	-1	-1	99	-
Cell2=1	0	x	N	control	0	0	t	t	t	0	1	-1	-1	99	-
