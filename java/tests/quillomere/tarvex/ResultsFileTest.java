package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static quillomere.tarvex.TestFiles.expectMessage;

import org.junit.jupiter.api.Test;

/**
 * TeskCHPFile on the sample data set's expression result (20030 probe sets over the layout
 * TeskDemo1164, 5 QC probe sets), and on the small genotyping and resequencing results that
 * write_test_files wrote.
 */
class ResultsFileTest {
    private static String sample() {
        return TestFiles.dir() + "/sample";
    }

    private static TeskCHPFile results() {
        TeskCHPFile chp = new TeskCHPFile();
        chp.Name = "sample.CHP";
        chp.DataPath = sample();
        chp.LibPath = sample();
        return chp;
    }

    private static TeskCHPFile small(String name) throws Exception {
        TeskCHPFile chp = new TeskCHPFile();
        chp.Name = name;
        chp.DataPath = TestFiles.dir();
        chp.LibPath = TestFiles.dir();
        chp.Read();
        return chp;
    }

    private static void load(TeskCHPFile chp, int filter) throws Exception {
        chp.FilterProbeSet = new TARVEX_FILTER_PROBESET_TYPE(filter);
        chp.LoadProbeSets();
    }

    @Test
    void readFillsTheHeaderAndTheParameterPairs() throws Exception {
        try (TeskCHPFile chp = results()) {
            assertTrue(chp.Exists());
            chp.ReadHeader();
            assertEquals("TeskDemo1164", chp.ChipType);
            chp.Read();
            assertEquals(sample() + "/sample.CHP", chp.FullPathName);
            assertEquals("sample.CEL", chp.CellFile);
            assertEquals("TeskSignal", chp.Algorithm);
            assertEquals("1.2", chp.AlgVersion);
            assertEquals(TARVEX_ALGORITHM_TYPE.UNKNOWN_ALGORITHM_TYPE, chp.AlgType.m_nEnumType);
            assertEquals(1164, chp.Rows);
            assertEquals(1164, chp.Cols);
            assertEquals(20030, chp.NumProbeSets);
            assertEquals(5, chp.NumQCProbeSets);
            assertFalse(chp.Date.isEmpty());
            assertEquals(4, chp.NumAlgParams);
            assertEquals(3, chp.NumChipSummary);

            TeskParameterValueClass p = chp.GetAlgParam(0);
            assertEquals("TrimLow", p.Param);
            assertEquals("0.02", p.Value);
            assertEquals(4, chp.GetAlgParams().length);
            TeskParameterValueClass s = chp.GetChipSummary(2);
            assertEquals("ScaleFactor", s.Param);
            assertEquals("1.62", s.Value);
            TeskParameterValueClass[] all = chp.GetChipSummaries();
            assertEquals(3, all.length);
            assertEquals("Background", all[0].Param);
            expectMessage("COM Error - GetAlgParam: Failure in CTeskCHPFile-GetAlgParam: Index out of range error",
                    () -> chp.GetAlgParam(4));
        }
    }

    @Test
    void emptyInputsAndFailuresNameTheStep() throws Exception {
        TeskCHPFile chp = results();
        chp.Name = "";
        expectMessage("CHP name cannot be empty", chp::Read);
        chp.Name = "sample.CHP";
        chp.DataPath = null;
        expectMessage("DataPath cannot be empty", chp::ReadHeader);
        chp.DataPath = sample();
        chp.LibPath = "";
        expectMessage("LibPath cannot be empty", chp::Exists);
        chp.LibPath = sample();
        chp.Name = "missing.CHP";
        assertFalse(chp.Exists());
        expectMessage("COM Error - Read: Failure in ITeskCHPFile-Read: The chip file does not exist", chp::Read);
        chp.Name = "sample.CEL";
        expectMessage("COM Error - Read: Failure in ITeskCHPFile-put_Name: Chip file extension (.CHP) is expected",
                chp::Read);
        assertTrue(chp.ReleaseCOMObject());
    }

    @Test
    void expressionAccessorsAgreeWithTheProbeSetViews() throws Exception {
        try (TeskCHPFile chp = results()) {
            chp.Read();
            load(chp, TARVEX_FILTER_PROBESET_TYPE.FILTER_ANALYSIS_PROBESET_TYPE);
            assertEquals(20030, chp.NumProbeSetsLoaded);
            TeskProbeSet set = chp.GetProbeSet(3);
            assertEquals(set.Name, chp.GetProbeSetName(3));
            assertEquals(11, set.NumPairs);
            assertEquals(set.NumPairs, chp.GetExprNumPairs(3));
            assertEquals(set.NumPairsUsed, chp.GetExprNumPairsUsed(3));
            assertEquals(set.Signal, chp.GetExprSignal(3));
            assertEquals(set.Detection, chp.GetExprDetection(3));
            assertEquals(set.DetectionPValue, chp.GetExprDetectionPValue(3));
            // Without comparison data the accessors answer zeros and no call.
            assertEquals(0, set.CompDataExists);
            assertEquals(0, chp.GetExprCompDataExists(3));
            assertEquals(0, chp.GetExprCommonPairs(3));
            assertEquals(0.0f, chp.GetExprSignalLogRatio(3));
            assertEquals(0.0f, chp.GetExprSignalLogRatioLow(3));
            assertEquals(0.0f, chp.GetExprSignalLogRatioHigh(3));
            assertEquals(0.0f, chp.GetExprChangePValue(3));
            assertEquals(set.Change, chp.GetExprChange(3));
            assertEquals("NO_COMP_CALL_TYPE", chp.GetExprChange(3).toString());
            assertEquals(new TARVEX_PROBESET_TYPE(TARVEX_PROBESET_TYPE.PROBESET_TYPE), chp.GetProbeSetType(3));
            assertTrue(set.Signal > 0);

            TeskProbePair pair = set.GetProbePair(10);
            assertEquals(10, pair.ProbePairNumber);
            assertTrue(pair.PMIntensity > 0);
            assertEquals(11, set.GetProbePairs().length);
            expectMessage("COM Error - GetProbeSet: Failure in ITeskCHPFile-GetProbeSet: Index out of range error",
                    () -> chp.GetProbeSet(20030));
        }
    }

    @Test
    void genotypingResultsShowCallsAndWalkToTheirProbes() throws Exception {
        try (TeskCHPFile chp = small("geno.CHP")) {
            assertEquals(TARVEX_ALGORITHM_TYPE.GENOTYPING_ALGORITHM_TYPE, chp.AlgType.m_nEnumType);
            load(chp, TARVEX_FILTER_PROBESET_TYPE.FILTER_GENOTYPE_PROBESET_TYPE);
            assertEquals(2, chp.NumProbeSetsLoaded);
            assertEquals(new TARVEX_GENOTYPE_RESULT_TYPE(TARVEX_GENOTYPE_RESULT_TYPE.GENOTYPE_AB_CALL), chp.GetGenoCall(0));
            assertEquals(0.9f, chp.GetGenoConfidence(0));
            assertEquals(0.25f, chp.GetGenoRAS1(0));
            assertEquals(0.125f, chp.GetGenoRAS2(0));
            assertEquals(TARVEX_GENOTYPE_RESULT_TYPE.GENOTYPE_NO_CALL, chp.GetGenoCall(1).m_nEnumType);

            TeskGenotypeProbeSet[] sets = chp.GetGenotypeProbeSets();
            assertEquals(2, sets.length);
            for (int i = 0; i < sets.length; ++i) {
                assertEquals(sets[i].Call, chp.GetGenoCall(i));
                assertEquals(sets[i].Confidence, chp.GetGenoConfidence(i));
                assertEquals(sets[i].RAS1, chp.GetGenoRAS1(i));
                assertEquals(sets[i].RAS2, chp.GetGenoRAS2(i));
                assertEquals(sets[i].AA_PValue, chp.GetGenoAAPValue(i));
                assertEquals(sets[i].AB_PValue, chp.GetGenoABPValue(i));
                assertEquals(sets[i].BB_PValue, chp.GetGenoBBPValue(i));
                assertEquals(sets[i].NoCall_PValue, chp.GetGenoNoCallPValue(i));
            }
            // Names come from the layout, which the views above have read.
            TeskGenotypeProbeSet set = chp.GetGenotypeProbeSet(0);
            assertEquals("snp_1", set.SNPID);
            assertEquals("snp_1", chp.GetProbeSetName(0));
            assertEquals(2, set.NumGroups);
            TeskGenotypeProbeGroup group = set.GetProbeGroupByIndex(1);
            assertEquals(TARVEX_STRAND_DIRECTION_TYPE.ANTISENSE_DIRECTION, group.Direction.m_nEnumType);
            assertEquals(2, set.GetProbeGroups().length);
            assertEquals(2, group.GetProbeLists().length);
            TeskGenotypeProbeList list = group.GetProbeListByIndex(1);
            TeskProbe[] probes = list.GetProbes();
            assertEquals(4, probes.length);
            // The intensities come from the results' cell file: 100 + x * 7 + y * 3.
            TeskProbe probe = list.GetProbeByIndex(2);
            assertEquals(100.0f + probe.PosX * 7 + probe.PosY * 3, probe.Intensity);
            expectMessage("COM Error - GetGenotypeProbeSet: Failure in ITeskCHPFile-GetGenotypeProbeSet: "
                    + "Index out of range error", () -> chp.GetGenotypeProbeSet(2));
        }
    }

    @Test
    void resequencingResultsGiveTheCompositeButNoCustomSequenceViews() throws Exception {
        try (TeskCHPFile chp = small("reseq.CHP")) {
            assertEquals(TARVEX_ALGORITHM_TYPE.CUSTOMSEQ_ALGORITHM_TYPE, chp.AlgType.m_nEnumType);
            load(chp, TARVEX_FILTER_PROBESET_TYPE.FILTER_CUSTOMSEQ_PROBESET_TYPE);
            assertEquals(1, chp.NumProbeSetsLoaded);
            assertEquals(TARVEX_PROBESET_TYPE.CUSTOMSEQ_PROBESET_TYPE, chp.GetProbeSetType(0).m_nEnumType);
            // Results hand out no custom-sequence views: the view stays empty.
            TeskCustomSeqProbeSet set = chp.GetCustomSeqProbeSet(0);
            assertEquals(0, set.NumGroups);
            assertEquals(0, chp.GetCustomSeqProbeSets().length);

            TeskCustomSeqComposite composite = chp.GetCustomSeqComposite();
            assertEquals("atY", composite.GetBaseCalls());
            assertEquals("t", composite.GetBaseCall(1));
            assertEquals(90.0f, composite.GetBaseCallScore(1));
            float[] scores = composite.GetBaseCallScores();
            assertEquals(3, scores.length);
            assertEquals(90.0f, scores[2]);
            assertEquals(composite.NumBases, composite.GetReferenceBases().length());
            assertEquals(composite.GetReferenceBases().substring(6, 7), composite.GetReferenceBase(6));
            expectMessage("COM Error - GetBaseCall: Failure in ITeskCustomSeqComposite-GetBaseCall: "
                    + "Index out of range error", () -> composite.GetBaseCall(3));
        }
    }

    @Test
    void controlProbeSetsReachTheirProbes() throws Exception {
        try (TeskCHPFile chp = results()) {
            chp.Read();
            load(chp, TARVEX_FILTER_PROBESET_TYPE.FILTER_QC_PROBESET_TYPE);
            TeskControlProbeSet[] controls = chp.GetControlProbeSets();
            assertEquals(5, controls.length);
            TeskControlProbeSet control = chp.GetControlProbeSet(1);
            assertEquals(control.NumQCProbes, control.GetQCProbes().length);
            assertEquals(control.GetQCProbes()[0].PosX, control.GetQCProbe(0).PosX);
            TeskProbeSet[] qc = chp.GetProbeSets();
            assertEquals(5, qc.length);
            assertEquals(qc[1].NumQCProbes, qc[1].GetQCProbes().length);
        }
    }

    @Test
    void twoResultsObjectsKeepTheirOwnLoadedProbeSets() throws Exception {
        try (TeskCHPFile control = results(); TeskCHPFile expression = results()) {
            control.Read();
            expression.Read();
            load(control, TARVEX_FILTER_PROBESET_TYPE.FILTER_QC_PROBESET_TYPE);
            load(expression, TARVEX_FILTER_PROBESET_TYPE.FILTER_ANALYSIS_PROBESET_TYPE);
            TeskProbeSet qc = control.GetProbeSet(0);
            TeskProbeSet gene = expression.GetProbeSet(0);
            assertEquals(5, control.NumProbeSetsLoaded);
            assertEquals(TARVEX_PROBESET_TYPE.QC_PROBESET_TYPE, control.GetProbeSetType(0).m_nEnumType);
            assertEquals(TARVEX_PROBESET_TYPE.PROBESET_TYPE, expression.GetProbeSetType(0).m_nEnumType);
            assertEquals(qc.NumQCProbes, qc.GetQCProbes().length);
            assertEquals(11, gene.GetProbePairs().length);
            assertNotEquals(0, gene.Signal);
        }
    }
}
