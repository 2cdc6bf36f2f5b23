[CDF]
Version=QX2.0

[Chip]
Name=TestChip
Rows=8
Cols=8
NumberOfUnits=4
MaxUnit=40
NumQCUnits=2
ChipReference=ref=text with equals

[QC1]
Type=7
NumberCells=2
CellHeader=X	Y	PROBE	PLEN	ATOM	INDEX	MATCH
Cell1=1	0	N	25	0	1	1
Cell2=2	0	N	25	0	2	0

[QC2]
Type=11
NumberCells=1
CellHeader=X	Y	PROBE	PLEN	ATOM	INDEX
Cell1=3	0	gattaca	7	5	3

[Unit1]
Name=NONE
Direction=1
NumAtoms=2 2
NumCells=5
UnitNumber=10
UnitType=3
NumberBlocks=1

[Unit1_Block1]
Name=gene_a
BlockNumber=1
NumAtoms=2
NumCells=5
StartPosition=0
StopPosition=1
CellHeader=X	Y	PROBE	FEAT	QUAL	EXPOS	POS	CBASE	PBASE	TBASE	ATOM	INDEX	CODONIND	CODON	REGIONTYPE	REGION
Cell1=0	1	AAAAAAAAAAAAATAAAAAAAAAAA	N	control	0	0	t	t	t	0	8	-1	-1	99	-
Cell2=1	1	AAAAAAAAAAAAAAAAAAAAAAAAA	N	control	0	0	t	a	t	0	9	-1	-1	99	-
Cell3=2	1	!background	N	control	0	0	t	a	t	0	10	-1	-1	99	-
Cell4=3	1	CCCCCCCCCCCCCCCCCCCCCCCCC	N	control	1	1	g	c	g	1	11	-1	-1	99	-
Cell5=4	1	CCCCCCCCCCCCGCCCCCCCCCCCC	N	control	1	1	g	g	g	1	12	-1	-1	99	-

[Unit2]
Name=reseq_one
Direction=2
NumAtoms=2
NumCells=9
UnitNumber=20
UnitType=1
NumberBlocks=1

[Unit2_Block1]
Name=reseq_block
BlockNumber=4
NumAtoms=2
NumCells=9
StartPosition=0
StopPosition=7
CellHeader=X	Y	PROBE	FEAT	QUAL	EXPOS	POS	CBASE	PBASE	TBASE	ATOM	INDEX	CODONIND	CODON	REGIONTYPE	REGION
Cell1=0	2	p0a	N	control	3	0	g	a	g	0	16	0	5	2	exon1
Cell2=1	2	p0c	N	control	3	0	g	c	g	0	17	0	5	2	exon1
Cell3=2	2	p0g	N	control	3	0	g	g	g	0	18	0	5	2	exon1
Cell4=3	2	p0t	N	control	3	0	g	t	g	0	19	0	5	2	exon1
Cell5=4	2	!bg	N	control	3	0	g	a	g	0	20	-1	-1	99	-
Cell6=0	3	p1a	N	control	4	7	a	a	a	7	24	-1	-1	99	-
Cell7=1	3	p1c	N	control	4	7	a	c	a	7	25	-1	-1	99	-
Cell8=2	3	p1g	N	control	4	7	a	g	a	7	26	-1	-1	99	-
Cell9=3	3	p1t	N	control	4	7	a	t	a	7	27	-1	-1	99	-

[Unit3]
Name=snp_one
Direction=1
NumAtoms=2 4
NumCells=8
UnitNumber=30
UnitType=2
NumberBlocks=2
MutationType=2

[Unit3_Block1]
Name=allele_A
BlockNumber=1
NumAtoms=1
NumCells=4
StartPosition=0
StopPosition=0
CellHeader=X	Y	PROBE	FEAT	QUAL	EXPOS	POS	CBASE	PBASE	TBASE	ATOM	INDEX	CODONIND	CODON	REGIONTYPE	REGION
Cell1=0	4	g	N	control	0	0	c	a	c	0	32	-1	-1	99	-
Cell2=1	4	g	N	control	0	0	c	c	c	0	33	-1	-1	99	-
Cell3=2	4	g	N	control	0	0	c	g	c	0	34	-1	-1	99	-
Cell4=3	4	g	N	control	0	0	c	t	c	0	35	-1	-1	99	-
[Unit3_Block2]
Name=allele_B
BlockNumber=2
NumAtoms=1
NumCells=4
StartPosition=0
StopPosition=0
CellHeader=X	Y	PROBE	FEAT	QUAL	EXPOS	POS	CBASE	PBASE	TBASE	ATOM	INDEX	CODONIND	CODON	REGIONTYPE	REGION
Cell1=0	5	g	N	control	0	1	t	a	t	1	40	-1	-1	99	-
Cell2=1	5	g	N	control	0	1	t	c	t	1	41	-1	-1	99	-
Cell3=2	5	g	N	control	0	1	t	g	t	1	42	-1	-1	99	-
Cell4=3	5	g	N	control	0	1	t	t	t	1	43	-1	-1	99	-

[Unit4]
Name=other
Direction=1
NumAtoms=1 1
NumCells=1
UnitNumber=40
UnitType=9
NumberBlocks=1

[Unit4_Block1]
Name=other_block
BlockNumber=1
NumAtoms=1
NumCells=1
StartPosition=0
StopPosition=0
CellHeader=X	Y	PROBE	FEAT	QUAL	EXPOS	POS	CBASE	PBASE	TBASE	ATOM	INDEX	CODONIND	CODON	REGIONTYPE	REGION
Cell1=0	6	zzz	N	control	0	0	t	a	t	0	48	-1	-1	99	-
