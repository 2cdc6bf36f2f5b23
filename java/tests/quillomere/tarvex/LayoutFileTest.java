package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static quillomere.tarvex.TestFiles.dir;
import static quillomere.tarvex.TestFiles.expectMessage;
import static quillomere.tarvex.TestFiles.layout;

import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import org.junit.jupiter.api.Test;

/**
 * TeskCDFFile and the probe set views it hands out, on TestChip.CDF: units gene_a_at
 * (expression), snp_1 (genotyping), reseq_1 (custom sequence) and QC units of types 3 and 9.
 */
class LayoutFileTest {
    private static TeskCDFFile loaded(int filter) throws Exception {
        TeskCDFFile cdf = layout();
        cdf.Read();
        cdf.FilterProbeSet = new TARVEX_FILTER_PROBESET_TYPE(filter);
        cdf.LoadProbeSets();
        return cdf;
    }

    @Test
    void readFillsTheHeaderAndFiltersChooseTheProbeSets() throws Exception {
        try (TeskCDFFile cdf = layout()) {
            assertTrue(cdf.Exists());
            cdf.Read();
            assertEquals(dir() + "/TestChip.CDF", cdf.FullPathName);
            assertFalse(cdf.Date.isEmpty());
            assertEquals(24, cdf.Rows);
            assertEquals(30, cdf.Cols);
            assertEquals(3, cdf.NumProbeSets);
            assertEquals(2, cdf.NumQCProbeSets);

            cdf.LoadProbeSets();  // the object's own filters: analysis units
            assertEquals(1, cdf.NumProbeSetsLoaded);
            assertEquals(TARVEX_FILTER_PROBESET_TYPE.FILTER_ANALYSIS_PROBESET_TYPE,
                    TARVEX_FILTER_PROBESET_TYPE.getEnumType(cdf.FilterProbeSet));
            assertEquals(TARVEX_QC_PROBESET_TYPE.ALL_QC_TYPE, cdf.FilterQCType.m_nEnumType);

            cdf.FilterProbeSet = new TARVEX_FILTER_PROBESET_TYPE(TARVEX_FILTER_PROBESET_TYPE.FILTER_ALL_PROBESET_TYPE);
            cdf.LoadProbeSets();
            assertEquals(5, cdf.NumProbeSetsLoaded);
            int[] kinds = {TARVEX_PROBESET_TYPE.PROBESET_TYPE, TARVEX_PROBESET_TYPE.GENOTYPE_PROBESET_TYPE,
                TARVEX_PROBESET_TYPE.CUSTOMSEQ_PROBESET_TYPE, TARVEX_PROBESET_TYPE.QC_PROBESET_TYPE,
                TARVEX_PROBESET_TYPE.QC_PROBESET_TYPE};
            for (int i = 0; i < kinds.length; ++i) {
                assertEquals(new TARVEX_PROBESET_TYPE(kinds[i]), cdf.GetProbeSetType(i));
            }
            assertEquals("GENOTYPE_PROBESET_TYPE", cdf.GetProbeSetType(1).toString());

            cdf.FilterProbeSet = new TARVEX_FILTER_PROBESET_TYPE(TARVEX_FILTER_PROBESET_TYPE.FILTER_QC_PROBESET_TYPE);
            cdf.FilterQCType = new TARVEX_QC_PROBESET_TYPE(TARVEX_QC_PROBESET_TYPE.GENEEXP_NEGATIVE_QC_TYPE);
            cdf.LoadProbeSets();
            assertEquals(1, cdf.NumProbeSetsLoaded);
            assertTrue(cdf.ReleaseCOMObject());
        }
    }

    @Test
    void emptyInputsAndFailuresNameTheStep() throws Exception {
        TeskCDFFile cdf = layout();
        cdf.ChipType = "";
        expectMessage("ChipType cannot be empty", cdf::Read);
        cdf.ChipType = "TestChip";
        cdf.LibPath = null;
        expectMessage("LibPath cannot be empty", cdf::Exists);
        cdf.LibPath = dir();
        cdf.ChipType = "Absent";
        assertFalse(cdf.Exists());
        expectMessage("COM Error - Read: Failure in ITeskCDFFile-Read: The CDF file does not exist", cdf::Read);
        expectMessage("COM Error - GetProbeSet: Failure in ITeskCDFFile-GetProbeSet: Index out of range error",
                () -> cdf.GetProbeSet(0));
    }

    @Test
    void expressionProbeSetsHandOutTheirPairs() throws Exception {
        try (TeskCDFFile cdf = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_ALL_PROBESET_TYPE)) {
            TeskProbeSet set = cdf.GetProbeSet(0);
            assertEquals("gene_a_at", set.Name);
            assertEquals(3, set.NumPairs);
            assertEquals(TARVEX_PROBESET_TYPE.PROBESET_TYPE, set.ProbeSetType.m_nEnumType);
            assertEquals(TARVEX_ABS_CALL_TYPE.NO_ABS_CALL_TYPE, set.Detection.m_nEnumType);
            assertEquals(TARVEX_COMP_CALL_TYPE.NO_COMP_CALL_TYPE, set.Change.m_nEnumType);

            TeskProbePair pair = set.GetProbePair(2);
            assertEquals(2, pair.ProbePairNumber);
            assertEquals(2, pair.PMPosX);
            assertEquals(2, pair.PMPosY);
            assertEquals(3, pair.MMPosY);
            assertEquals(TARVEX_PROBEPAIR_USAGE_TYPE.USE_PROBEPAIR_USAGE_TYPE, pair.UseProbePair.m_nEnumType);
            TeskProbePair[] pairs = set.GetProbePairs();
            assertEquals(3, pairs.length);
            assertEquals(1, pairs[1].PMPosX);
            expectMessage("COM Error - GetProbePair: Failure in ITeskProbeSet-GetProbePair: Index out of range error",
                    () -> set.GetProbePair(3));
            assertEquals(0, set.GetQCProbes().length);

            // One view per loaded position; the views of other kinds stay empty.
            TeskProbeSet[] all = cdf.GetProbeSets();
            assertEquals(5, all.length);
            assertEquals("gene_a_at", all[0].Name);
            assertEquals("", all[1].Name);
            assertEquals(3, all[3].NumQCProbes);
            assertEquals(3, all[0].GetProbePairs().length);
        }
    }

    @Test
    void controlProbeSetsHandOutTheirProbes() throws Exception {
        try (TeskCDFFile cdf = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_QC_PROBESET_TYPE)) {
            TeskProbeSet qc = cdf.GetProbeSet(0);
            assertEquals(TARVEX_QC_PROBESET_TYPE.HYB_NEGATIVE_QC_TYPE, qc.QCType.m_nEnumType);
            TeskProbe probe = qc.GetQCProbe(1);
            assertEquals(1, probe.PosX);
            assertEquals(TARVEX_PROBE_TYPE.QC_PROBE_TYPE, probe.ProbeType.m_nEnumType);
            assertEquals(3, qc.GetQCProbes().length);

            TeskControlProbeSet control = cdf.GetControlProbeSet(1);
            assertEquals(2, control.NumQCProbes);
            assertEquals(TARVEX_QC_PROBESET_TYPE.GENEEXP_NEGATIVE_QC_TYPE, control.QCType.m_nEnumType);
            assertEquals(4, control.GetQCProbe(1).PosX);
            TeskProbe[] probes = control.GetQCProbes();
            assertEquals(2, probes.length);
            assertEquals(3, probes[0].PosX);
            TeskControlProbeSet[] sets = cdf.GetControlProbeSets();
            assertEquals(2, sets.length);
            assertEquals(3, sets[0].GetQCProbes().length);
            expectMessage("COM Error - GetQCProbe: Failure in ITeskControlProbeSet-GetQCProbe: "
                    + "Index out of range error", () -> control.GetQCProbe(2));
        }
    }

    @Test
    void genotypingViewsWalkGroupsListsAndProbes() throws Exception {
        try (TeskCDFFile cdf = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_GENOTYPE_PROBESET_TYPE)) {
            TeskGenotypeProbeSet set = cdf.GetGenotypeProbeSet(0);
            assertEquals("snp_1", set.SNPID);
            assertEquals(2, set.NumGroups);
            assertEquals(TARVEX_GENOTYPE_RESULT_TYPE.GENOTYPE_NO_CALL, set.Call.m_nEnumType);
            TeskGenotypeProbeGroup group = set.GetProbeGroupByIndex(1);
            assertEquals(1, group.GroupIndex);
            assertEquals(TARVEX_STRAND_DIRECTION_TYPE.ANTISENSE_DIRECTION, group.Direction.m_nEnumType);
            TeskGenotypeProbeGroup[] groups = set.GetProbeGroups();
            assertEquals(2, groups.length);
            assertEquals(TARVEX_STRAND_DIRECTION_TYPE.SENSE_DIRECTION, groups[0].Direction.m_nEnumType);

            TeskGenotypeProbeList list = group.GetProbeListByIndex(1);
            assertEquals(1, list.ListIndex);
            assertEquals(4, list.NumProbes);
            TeskProbe probe = list.GetProbeByIndex(2);
            assertEquals(15, probe.PosX);
            assertEquals(6, probe.PosY);
            assertEquals("c", probe.PBase);
            assertEquals("g", probe.TBase);
            assertEquals(4, list.GetProbes().length);
            TeskGenotypeProbeList[] lists = groups[0].GetProbeLists();
            assertEquals(2, lists.length);
            assertEquals(5, lists[1].GetProbes()[0].PosY);
            assertEquals(1, cdf.GetGenotypeProbeSets().length);

            // At a position of another kind the view answers little and its walk fails.
            cdf.FilterProbeSet = new TARVEX_FILTER_PROBESET_TYPE(TARVEX_FILTER_PROBESET_TYPE.FILTER_ALL_PROBESET_TYPE);
            cdf.LoadProbeSets();
            TeskGenotypeProbeSet[] views = cdf.GetGenotypeProbeSets();
            assertEquals(3, views.length);
            assertEquals("", views[0].SNPID);
            assertEquals(0, views[0].NumGroups);
            assertEquals("snp_1", views[1].SNPID);
        }
    }

    @Test
    void customSequenceViewsFindListsByGroupAndByReference() throws Exception {
        try (TeskCDFFile cdf = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_CUSTOMSEQ_PROBESET_TYPE)) {
            TeskCustomSeqProbeSet set = cdf.GetCustomSeqProbeSet(0);
            assertEquals(1, set.NumGroups);
            assertEquals(TARVEX_PROBESET_TYPE.CUSTOMSEQ_PROBESET_TYPE, set.ProbeSetType.m_nEnumType);
            assertEquals(1, cdf.GetCustomSeqProbeSets().length);
            TeskCustomSeqProbeGroup group = set.GetProbeGroupByIndex(0);
            assertEquals("reseq_1", group.Name);
            assertEquals(3, group.NumLists);
            assertEquals(1, set.GetProbeGroups().length);
            TeskCustomSeqProbeList[] lists = group.GetProbeLists();
            assertEquals(3, lists.length);
            assertEquals(7, lists[2].ReferenceIndex);
            assertEquals(12, lists[2].SequencePosition);
            assertEquals(2, lists[2].GetProbes().length);
            TeskCustomSeqProbeList second = group.GetProbeListByIndex(1);
            assertEquals(6, second.ReferenceIndex);

            TeskCustomSeqProbeList byReference = set.GetProbeListByReferenceIndex(6);
            assertEquals(1, byReference.ListIndex);
            TeskProbe probe = byReference.GetProbeByIndex(1);
            assertEquals(6, probe.PosX);
            assertEquals(14, probe.PosY);
            assertEquals("a", probe.PBase);
            assertEquals(2, byReference.GetProbes().length);
            expectMessage("COM Error - GetProbeListByReferenceIndex: Failure in "
                    + "ITeskCustomSeqProbeSet-GetProbeListByReferenceIndex: Index out of range error",
                    () -> set.GetProbeListByReferenceIndex(99));

            TeskCustomSeqComposite composite = cdf.GetCustomSeqComposite();
            assertEquals(8, composite.NumBases);
            assertEquals(8, composite.GetReferenceBases().length());
            assertEquals("n", composite.GetReferenceBase(0));
            assertEquals(composite.GetReferenceBases().substring(6, 7), composite.GetReferenceBase(6));
            // A layout has no base calls: only results do.
            expectMessage("COM Error - GetBaseCall: Failure in ITeskCustomSeqComposite-GetBaseCall: "
                    + "Unable to access the data, it has not been loaded.", () -> composite.GetBaseCall(0));
            expectMessage("COM Error - GetBaseCalls: Failure in ITeskCustomSeqComposite-GetBaseCalls: "
                    + "Unable to access the data, it has not been loaded.", composite::GetBaseCalls);
            expectMessage("COM Error - GetBaseCallScore: Failure in ITeskCustomSeqComposite-GetBaseCallScore: "
                    + "Unable to access the data, it has not been loaded.", () -> composite.GetBaseCallScore(0));
            expectMessage("COM Error - GetBaseCallScores: Failure in ITeskCustomSeqComposite-GetBaseCallScores: "
                    + "Unable to access the data, it has not been loaded.", composite::GetBaseCallScores);
        }
    }

    @Test
    void viewsThatNoFileObjectProducedSaySo() {
        expectMessage("Error - GetQCProbe: Must call GetControlProbeSet to get the probe set object.",
                () -> new TeskControlProbeSet().GetQCProbe(0));
        expectMessage("Error - GetQCProbes: Must call GetControlProbeSet to get the probe set object.",
                () -> new TeskControlProbeSet().GetQCProbes());
        expectMessage("Error - GetProbeByIndex: Must have a probe list object retrieved from the CHP or CDF object.",
                () -> new TeskGenotypeProbeList().GetProbeByIndex(0));
        expectMessage("Error - GetProbes: Must have a probe list object retrieved from the CHP or CDF object.",
                () -> new TeskCustomSeqProbeList().GetProbes());
        expectMessage("Error - GetProbeListByIndex: The group object has not been properly initialized.",
                () -> new TeskGenotypeProbeGroup().GetProbeListByIndex(0));
        expectMessage("Error - GetProbeLists: The group object has not been properly initialized.",
                () -> new TeskCustomSeqProbeGroup().GetProbeLists());
        expectMessage("Error - GetProbePair: Must call GetProbeSet to get the probe set object.",
                () -> new TeskProbeSet().GetProbePair(0));
        expectMessage("Error - GetProbeGroups: Must call GetGenotypeProbeSet to get the probe set object.",
                () -> new TeskGenotypeProbeSet().GetProbeGroups());
        expectMessage("Error - GetProbeGroupByIndex: Must call GetCustomSeqProbeSet to get the probe set object.",
                () -> new TeskCustomSeqProbeSet().GetProbeGroupByIndex(0));
        expectMessage("Error - GetBaseCalls: Must call GetCustomSeqComposite to get the composite object.",
                () -> new TeskCustomSeqComposite().GetBaseCalls());
    }

    @Test
    void viewsOfOneLayoutObjectAreNotDisturbedByAnother() throws Exception {
        try (TeskCDFFile genotyping = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_GENOTYPE_PROBESET_TYPE);
                TeskCDFFile control = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_QC_PROBESET_TYPE)) {
            TeskGenotypeProbeSet snp = genotyping.GetGenotypeProbeSet(0);
            TeskProbeSet qc = control.GetProbeSet(0);
            assertEquals(4, snp.GetProbeGroupByIndex(0).GetProbeListByIndex(0).GetProbes().length);
            assertEquals(3, qc.GetQCProbes().length);
            // A released file object leaves its views without data.
            control.close();
            expectMessage("COM Error - GetQCProbes: Invalid pointer", qc::GetQCProbes);
        }
    }

    @Test
    void threadsWalkViewsOfTheirOwnAndOfASharedLayoutObject() throws Exception {
        ExecutorService pool = Executors.newFixedThreadPool(4);
        try (TeskCDFFile shared = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_ALL_PROBESET_TYPE)) {
            List<Future<Boolean>> results = new ArrayList<>();
            for (int t = 0; t < 8; ++t) {
                final boolean own = t % 2 == 0;
                results.add(pool.submit(() -> {
                    for (int round = 0; round < 20; ++round) {
                        if (own) {
                            try (TeskCDFFile cdf = loaded(TARVEX_FILTER_PROBESET_TYPE.FILTER_GENOTYPE_PROBESET_TYPE)) {
                                TeskGenotypeProbeList list =
                                        cdf.GetGenotypeProbeSet(0).GetProbeGroupByIndex(1).GetProbeListByIndex(1);
                                if (list.GetProbeByIndex(2).PosX != 15 || list.GetProbes().length != 4) {
                                    return false;
                                }
                            }
                        } else {
                            // Calls on one object from several threads take turns.
                            TeskProbeSet set = shared.GetProbeSet(0);
                            if (set.GetProbePairs().length != 3 || shared.GetControlProbeSet(1).GetQCProbes().length != 2) {
                                return false;
                            }
                        }
                    }
                    return true;
                }));
            }
            for (Future<Boolean> r : results) {
                assertTrue(r.get());
            }
        } finally {
            pool.shutdown();
        }
    }
}
